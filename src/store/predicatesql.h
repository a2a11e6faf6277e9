#pragma once

#include "model/todopredicate.h"
#include "sqlite.h"

#include <QList>
#include <QString>

namespace qb::sql {

// A WHERE clause with its bound values, in order.
struct Clause {
    QString text;
    QList<Value> values;
};

Clause whereClause(const TodoPredicate &predicate);
// " ORDER BY …" (empty for no sort keys); ties fall back to creation and row order.
QString orderByClause(const QList<TodoSort> &sort);

// Moments are stored as milliseconds since the Unix epoch; absent ones as NULL.
Value momentValue(const QDateTime &moment);
QDateTime momentFrom(const Statement &statement, int column);

} // namespace qb::sql
