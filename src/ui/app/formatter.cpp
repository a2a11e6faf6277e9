#include "formatter.h"

#include "model/dayhelpers.h"
#include "model/search.h"
#include "model/todoitem.h"

namespace qb {

Formatter::Formatter(const Calendar &calendar, QDateTime now)
    : m_calendar(calendar)
    , m_now(std::move(now)) {}

QString Formatter::title(const QString &title) {
    return search::displayTitle(title);
}

QString Formatter::timeOfDay(const QDateTime &moment) const {
    return moment.isValid() ? m_calendar.format(moment, QStringLiteral("jmm")) : QString();
}

QString Formatter::relativeTime(const QDateTime &moment) const {
    return moment.isValid() ? m_calendar.relativeTime(moment, m_now) : QString();
}

QString Formatter::shortDay(const QDateTime &date) const {
    return shortDayLabel(date, m_now, m_calendar);
}

QString Formatter::dayTitle(const QDateTime &day) const {
    return qb::dayTitle(day, m_now, m_calendar);
}

QString Formatter::status(const TodoItem &item) const {
    return search::statusWord(item, m_now, m_calendar);
}

bool Formatter::isOverdue(const TodoItem &item, const QDateTime &today) {
    return !item.isCompleted() && item.scheduledDate().isValid() && item.scheduledDate() < today;
}

} // namespace qb
