#pragma once

#include "store/status.h"
#include "sync/itemfields.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace qb::sync {

// The VTODO of one calendar object, read into our fields. The object may hold more (time
// zones, alarms, recurrence overrides, properties we do not use); the writer keeps all of it.
struct VTodo {
    QString uid;
    // RELATED-TO with RELTYPE=PARENT, or with no RELTYPE; empty for a to-do.
    QString parentUid;
    ItemFields fields;
    // LAST-MODIFIED, else DTSTAMP: when the other side last changed it.
    QDateTime modified;
    int sequence = 0;
};

// Calendar objects larger than this are refused rather than read.
inline constexpr qsizetype maximumObjectSize = 1 << 20;

// Reads the first VTODO that is not a recurrence override. Days: a DATE value is its day; a
// date-time with a zone is the day it falls on in `localZone`; a floating one is its own day.
// Fails for text that is not iCalendar, holds no VTODO, has no UID or is too large.
Result<VTodo> readVTodo(const QByteArray &text, const QTimeZone &localZone);

// What a write needs besides the fields: the identity of a new object and the moment stamped
// on a changed one.
struct WriteOptions {
    ItemKind kind = ItemKind::Todo;
    QString uid;
    QString parentUid;  // subtasks
    QDateTime now;      // DTSTAMP
    QDateTime modified; // LAST-MODIFIED: when the record was edited; `now` when unknown
    QTimeZone localZone;
};

// `original` with our properties set to `fields`: only properties whose value changed are
// rewritten, everything else (unknown properties, alarms, time zones, other components) stays
// byte for byte, and an unchanged object comes back identical. An empty original makes a new
// object.
QByteArray writeVTodo(const QByteArray &original, const ItemFields &fields,
                      const WriteOptions &options);

} // namespace qb::sync
