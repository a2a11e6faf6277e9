#pragma once

#include "model/todopredicate.h"

namespace qb {

class Calendar;

namespace stockqueries {

// Open and (scheduledDate, or fallback when absent) earlier than boundary.
TodoPredicate dueBy(const QDateTime &boundary, const QDateTime &fallback);
// Open and (scheduledDate, or fallback when absent) at or after boundary.
TodoPredicate from(const QDateTime &boundary, const QDateTime &fallback);
// Open with no scheduledDate.
TodoPredicate undated();
// Title or notes contains the query, locale-aware.
TodoPredicate searchMatch(const QString &query);

// Open to-dos dated before tomorrow (overdue included); never undated ones.
TodoPredicate todayList(const QDateTime &now, const Calendar &calendar);
// Open to-dos that are undated or dated tomorrow or later.
TodoPredicate laterList(const QDateTime &now, const Calendar &calendar);

} // namespace stockqueries
} // namespace qb
