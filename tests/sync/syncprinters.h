#pragma once

#include "qtprinters.h"
#include "sync/itemfields.h"

#include <ostream>

namespace qb::sync {

// Readable failure messages for the fields of a to-do.
inline void PrintTo(const ItemFields &f, std::ostream *out) {
    *out << "{title " << f.title.toStdString() << ", notes " << f.notes.toStdString() << ", day "
         << (f.day ? f.day->toString(Qt::ISODate).toStdString() : "-") << ", completed "
         << f.completed << " at " << f.completedAt.toString(Qt::ISODateWithMs).toStdString()
         << ", rule " << f.ruleRaw.toStdString() << ", order " << f.sortOrder << ", created "
         << f.createdAt.toString(Qt::ISODateWithMs).toStdString() << ", log";
    if (!f.hasLog)
        *out << " (none)";
    for (const LogEntry &e : f.log)
        *out << " [" << e.kindRaw.toStdString() << ' '
             << (e.detail.isNull() ? "(null)" : e.detail.toStdString()) << ' '
             << e.timestamp.toMSecsSinceEpoch() << ']';
    *out << '}';
}

} // namespace qb::sync
