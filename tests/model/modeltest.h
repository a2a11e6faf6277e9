#pragma once

#include "golden.h"
#include "model/calendar.h"
#include "qtprinters.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace qb::test {

// Crosses the American daylight-saving changes: 2024-03-10 lasts 23 hours, 2024-11-03 25.
inline Calendar newYork() {
    return Calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York"));
}

// A wall-clock time in the calendar's zone as a UTC moment. Qt's own time-zone database does
// the conversion, so expectations never come from the calendar under test.
inline QDateTime wallClock(const Calendar &calendar, int year, int month, int day, int hour = 0,
                           int minute = 0) {
    const QTimeZone zone(calendar.timeZoneId().toUtf8());
    return QDateTime(QDate(year, month, day), QTime(hour, minute), zone).toUTC();
}

// The calendar a golden file's locale field names: "de" is Berlin's, "gb" London's, a whole
// locale id such as "fa_IR" that locale's in UTC, any other New York's.
inline Calendar calendarFor(const QString &locale) {
    if (locale.contains(u'_'))
        return Calendar(locale, QStringLiteral("UTC"));
    if (locale == QStringLiteral("gb"))
        return Calendar(QStringLiteral("en_GB"), QStringLiteral("Europe/London"));
    // Berlin's changes are on 2024-03-31 (23 hours) and 2024-10-27 (25 hours).
    return locale == QStringLiteral("de")
               ? Calendar(QStringLiteral("de_DE"), QStringLiteral("Europe/Berlin"))
               : newYork();
}

// The same from the text "yyyy-MM-dd HH:mm", as golden files write it, or a UTC moment from
// that text with "Z" after it; no moment for any other text. `wallClockText` writes a moment so.
inline QDateTime wallClock(const Calendar &calendar, const QString &text) {
    const QDateTime read = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm'Z'"));
    if (read.isValid())
        return QDateTime(read.date(), read.time(), Qt::UTC);
    const QDateTime local = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    const QDate d = local.date();
    return local.isValid() ? wallClock(calendar, d.year(), d.month(), d.day(), local.time().hour(),
                                       local.time().minute())
                           : QDateTime();
}
inline QString wallClockText(const Calendar &calendar, const QDateTime &moment) {
    return moment.toTimeZone(QTimeZone(calendar.timeZoneId().toUtf8()))
        .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

inline QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

} // namespace qb::test
