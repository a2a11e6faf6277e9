#pragma once

#include "model/calendar.h"

#include <QDateTime>
#include <QString>

namespace qb {

class TodoItem;

// How the window writes titles, days and times, for one moment in the user's calendar. Models
// hand its results to QML as row values, so nothing in QML formats or compares dates.
class Formatter {
public:
    Formatter(const Calendar &calendar, QDateTime now);

    // "New To-Do" for a blank title.
    static QString title(const QString &title);
    // Hour and minute as the user's locale writes them; empty for no moment.
    QString timeOfDay(const QDateTime &moment) const;
    // "3 minutes ago"; empty for no moment.
    QString relativeTime(const QDateTime &moment) const;
    // "Today", "Tomorrow", "Yesterday", "Someday" or the numeric month and day.
    QString shortDay(const QDateTime &date) const;
    // A day section's heading.
    QString dayTitle(const QDateTime &day) const;
    // Where Quick Find says the to-do is.
    QString status(const TodoItem &item) const;
    // Open and dated before `today`.
    static bool isOverdue(const TodoItem &item, const QDateTime &today);

private:
    const Calendar &m_calendar;
    QDateTime m_now;
};

} // namespace qb
