#include "model/dayhelpers.h"

#include "model/calendar.h"
#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::utc;
using test::wallClock;

// The day arithmetic is the calendar's; these are the moments a day's length or zone could trip.
TEST(StartOfNextDay, isTheNextLocalMidnightAcrossDst) {
    const Calendar us = test::newYork();
    const Calendar de = test::berlin();
    struct Case {
        const Calendar &calendar;
        QDateTime from;
        QDate expected;
    };
    const Case cases[] = {
        {us, wallClock(us, 2024, 3, 9, 2, 30), QDate(2024, 3, 10)}, // 02:30 is skipped on the 10th
        {us, utc(2024, 11, 3, 5, 30), QDate(2024, 11, 4)},          // 01:30 EDT
        {us, utc(2024, 11, 3, 6, 30), QDate(2024, 11, 4)},          // 01:30 EST
        {us, utc(2025, 1, 1, 4, 30), QDate(2025, 1, 1)},            // still New Year's Eve locally
        {de, utc(2024, 12, 31, 23, 30), QDate(2025, 1, 2)}, // already New Year's Day locally
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(startOfNextDay(c.from, c.calendar),
                  wallClock(c.calendar, c.expected.year(), c.expected.month(), c.expected.day()));
    }
}

// Each line of the golden file is "locale | now | day, or none | label | short label", times
// on the wall clock of New York or Berlin; the test writes the labels it gets into the same
// layout and compares the whole text. The days around 2024-03-10 and 2024-11-03 in New York
// and 2024-03-31 in Berlin last 23 or 25 hours.
TEST(DayLabels, nameTheDayRelativeToNowOrFormatIt) {
    test::expectGolden(QB_MODEL_DATA "/daylabels.txt", 5, 2, [](const QStringList &fields) {
        const Calendar calendar = test::calendarFor(fields[0]);
        const QDateTime now = wallClock(calendar, fields[1]);
        const QDateTime day = wallClock(calendar, fields[2]);
        return dayLabel(day, now, calendar) + u" | "_s + shortDayLabel(day, now, calendar);
    });
}

} // namespace
} // namespace qb
