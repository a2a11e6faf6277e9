#pragma once

#include "outcome.h"

#include <QDateTime>
#include <QString>

namespace qb {
class Calendar;
}

namespace qb::cli {

// DAY: YYYY-MM-DD (that day in the calendar), "today" or "tomorrow"; "none" too when
// `allowNone`, which gives an invalid QDateTime. Always the start of the day.
Outcome<QDateTime> parseDay(const QString &text, bool allowNone, const QDateTime &now,
                            const Calendar &calendar);

// An ISO 8601 date-time (seconds and milliseconds optional), in the calendar's zone when it
// carries no offset.
Outcome<QDateTime> parseDateTime(const QString &text, const Calendar &calendar);

// DATETIME: a DAY or an ISO 8601 date-time.
Outcome<QDateTime> parseDayOrDateTime(const QString &text, const QDateTime &now,
                                      const Calendar &calendar);

// 2026-12-06T00:00:00.000-05:00: milliseconds and the calendar zone's offset at that moment.
QString formatMoment(const QDateTime &moment, const Calendar &calendar);

} // namespace qb::cli
