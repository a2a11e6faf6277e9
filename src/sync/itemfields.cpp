#include "sync/itemfields.h"

#include <cmath>

namespace qb::sync {

QDateTime wholeSeconds(const QDateTime &moment) {
    if (!moment.isValid())
        return {};
    return QDateTime::fromSecsSinceEpoch(moment.toSecsSinceEpoch(), Qt::UTC);
}

double orderPrecision(double sortOrder) {
    return std::round(sortOrder * 1000.0) / 1000.0;
}

bool sameCreation(const QDateTime &a, const QDateTime &b) {
    return !a.isValid() || !b.isValid() || a == b;
}

bool sameSynced(ItemKind kind, const ItemFields &a, const ItemFields &b) {
    const bool common = a.title == b.title && a.completed == b.completed &&
                        a.sortOrder == b.sortOrder && sameCreation(a.createdAt, b.createdAt);
    if (kind == ItemKind::Subtask || !common)
        return common;
    const bool logsAgree = !a.hasLog || !b.hasLog || a.log == b.log;
    return a.notes == b.notes && a.day == b.day && a.completedAt == b.completedAt &&
           a.ruleRaw == b.ruleRaw && logsAgree;
}

} // namespace qb::sync
