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

// Days without a word are formatted by the calendar, whose own tests check each locale.
TEST(DayLabels, nameTheDayRelativeToNowOrFormatIt) {
    const Calendar us = test::newYork();
    const Calendar de = test::berlin();
    const QDateTime monday = wallClock(us, 2026, 1, 5, 10, 0);
    const struct {
        const Calendar &calendar;
        QDateTime now, date;
        const char16_t *label, *shortLabel;
    } cases[] = {
        {us, monday, QDateTime(), u"Someday", u"Someday"},
        {us, monday, wallClock(us, 2026, 1, 5, 23, 59), u"Today", u"Today"},
        {us, monday, wallClock(us, 2026, 1, 6, 23, 59), u"Tomorrow", u"Tomorrow"},
        {us, monday, wallClock(us, 2026, 1, 4, 8, 0), u"Yesterday", u"Yesterday"},
        {us, monday, wallClock(us, 2026, 1, 7), u"Wed, Jan 7", u"1/7"},
        {us, wallClock(us, 2026, 1, 6, 0, 1), wallClock(us, 2026, 1, 5, 23, 0), u"Yesterday",
         u"Yesterday"},
        // Around the 23-hour and the 25-hour day.
        {us, wallClock(us, 2024, 3, 10, 12, 0), wallClock(us, 2024, 3, 11, 0, 30), u"Tomorrow",
         u"Tomorrow"},
        {us, wallClock(us, 2024, 3, 11, 1, 0), wallClock(us, 2024, 3, 10), u"Yesterday",
         u"Yesterday"},
        {us, wallClock(us, 2024, 11, 3, 23, 30), wallClock(us, 2024, 11, 3), u"Today", u"Today"},
        {us, wallClock(us, 2024, 11, 3, 23, 30), wallClock(us, 2024, 11, 4), u"Tomorrow",
         u"Tomorrow"},
        {de, wallClock(de, 2024, 3, 30, 22, 0), wallClock(de, 2024, 3, 31, 12, 0), u"Tomorrow",
         u"Tomorrow"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString() + " from " +
                     c.now.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(dayLabel(c.date, c.now, c.calendar), QString::fromUtf16(c.label));
        EXPECT_EQ(shortDayLabel(c.date, c.now, c.calendar), QString::fromUtf16(c.shortLabel));
    }
}

} // namespace
} // namespace qb
