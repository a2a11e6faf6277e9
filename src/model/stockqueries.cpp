#include "model/stockqueries.h"

#include "model/dayhelpers.h"

namespace qb::stockqueries {

using Field = TodoPredicate::DateField;

TodoPredicate dueBy(const QDateTime &boundary, const QDateTime &fallback) {
    return TodoPredicate::isCompleted(false) &&
           TodoPredicate::dateBefore(Field::ScheduledDate, boundary, fallback);
}

TodoPredicate from(const QDateTime &boundary, const QDateTime &fallback) {
    return TodoPredicate::isCompleted(false) &&
           TodoPredicate::dateAtOrAfter(Field::ScheduledDate, boundary, fallback);
}

TodoPredicate undated() {
    return TodoPredicate::isCompleted(false) && TodoPredicate::dateAbsent(Field::ScheduledDate);
}

TodoPredicate searchMatch(const QString &query) {
    return TodoPredicate::textContainsAny(
        {TodoPredicate::TextField::Title, TodoPredicate::TextField::Notes}, query);
}

TodoPredicate todayList(const QDateTime &now, const Calendar &calendar) {
    return dueBy(startOfNextDay(now, calendar), distantFuture());
}

TodoPredicate laterList(const QDateTime &now, const Calendar &calendar) {
    return from(startOfNextDay(now, calendar), distantFuture());
}

} // namespace qb::stockqueries
