#pragma once

#include "outcome.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

namespace qb {
class Calendar;
}

namespace qb::cli {

// DAY: YYYY-MM-DD (that day in the calendar), "today" or "tomorrow"; "none" too when
// `allowNone`, which gives an invalid QDateTime. Always the start of the day.
Outcome<QDateTime> parseDay(const QString &text, bool allowNone, const QDateTime &now,
                            const Calendar &calendar);

// Reads ISO 8601 date-times (seconds and milliseconds optional; an offset of hours, minutes
// and optionally seconds, or Z) as UTC moments, in the calendar's zone when they carry no
// offset. Moments whose day in the calendar falls outside the years the calendar handles are
// refused, so whatever is read can be written back and read again. One reader serves many
// moments: it works out the range once.
class MomentReader {
public:
    enum class Problem { NotADateTime, OutOfRange };

    explicit MomentReader(const Calendar &calendar);

    // Holds a problem when the text is not a date-time or is out of range.
    struct Read {
        QDateTime moment;
        std::optional<Problem> problem;
    };
    Read read(QByteArrayView text) const;

private:
    bool inRange(const QDateTime &moment) const;

    const Calendar &m_calendar;
    QDateTime m_first; // the start of the first day
    QDateTime m_last;  // the start of the last day
};

// The same for one text, with the error the client reports.
Outcome<QDateTime> parseDateTime(const QString &text, const Calendar &calendar);

// DATETIME: a DAY or an ISO 8601 date-time.
Outcome<QDateTime> parseDayOrDateTime(const QString &text, const QDateTime &now,
                                      const Calendar &calendar);

// 2026-12-06T00:00:00.000-05:00: milliseconds and the calendar zone's offset at that moment,
// with its seconds when it has any (local mean time before standard time zones), so the text
// names exactly the moment.
QString formatMoment(const QDateTime &moment, const Calendar &calendar);

// How the client names the range of years it accepts.
QString yearRangeText();

} // namespace qb::cli
