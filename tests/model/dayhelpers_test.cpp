#include "model/dayhelpers.h"

#include "model/calendar.h"
#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::wallClock;

// Each line of the golden file is "locale | moment | start of the next day", on the wall clock
// of New York or Berlin, or in UTC where a time ends in "Z". The day arithmetic is the
// calendar's; these are the moments a day's length or zone could trip: 02:30 is skipped on
// 2024-03-10 in New York, 01:30 happens twice on 2024-11-03 (05:30 UTC in summer time, 06:30
// UTC after), and New Year in UTC is still New Year's Eve in New York, already New Year's Day
// in Berlin.
TEST(StartOfNextDay, isTheNextLocalMidnightAcrossDst) {
    test::expectGolden(QB_MODEL_DATA "/nextdays.txt", 3, 1, [](const QStringList &fields) {
        const Calendar calendar = test::calendarFor(fields[0]);
        return test::wallClockText(calendar,
                                   startOfNextDay(wallClock(calendar, fields[1]), calendar));
    });
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
