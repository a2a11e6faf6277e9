#pragma once

#include <QDateTime>
#include <QString>

namespace qb {

class Calendar;

// Start of the day after the one containing `moment`.
QDateTime startOfNextDay(const QDateTime &moment, const Calendar &calendar);

// "Today", "Tomorrow", "Yesterday" relative to `now`, else the date with abbreviated weekday,
// month and day (Mon, Jan 5). An invalid (absent) date gives "Someday".
QString dayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar);
// Same words; the fallback is numeric month and day (1/5).
QString shortDayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar);

} // namespace qb
