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
    // Tests text with qb_contains_any, which no index can answer.
    bool matchesText = false;
    // Takes only open to-dos dated before a moment, so the open-by-date index holds exactly
    // the rows it can take, in one range.
    bool readsOpenDateRange = false;
};

Clause whereClause(const TodoPredicate &predicate);
// " ORDER BY …" (empty for no sort keys); ties fall back to creation and row order.
// `scanTable` keeps SQLite from walking an index in sort order: for a filter no index answers
// (a text search), reading the table in its own order and sorting the matches is far cheaper
// than looking every row up from the index, and a rare word has to reach every row anyway.
QString orderByClause(const QList<TodoSort> &sort, bool scanTable = false);
// Whether the search index (open first, newest first, with the texts) serves this sort, so a
// text search may walk it instead of the table.
bool searchIndexServes(const QList<TodoSort> &sort);

// Moments are stored as milliseconds since the Unix epoch; absent ones as NULL.
Value momentValue(const QDateTime &moment);
QDateTime momentFrom(const Statement &statement, int column);

} // namespace qb::sql
