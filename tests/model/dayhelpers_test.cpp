#include "model/dayhelpers.h"

#include "model/calendar.h"
#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::utc;
using test::wallClock;

TEST(StartOfNextDay, isTheNextLocalMidnightAcrossDst) {
    const Calendar us = test::newYork();
    const Calendar de = test::berlin();
    struct Case {
        const Calendar &calendar;
        QDateTime from;
        QDate expected;
    };
    const Case cases[] = {
        {us, wallClock(us, 2024, 3, 9, 15, 0), QDate(2024, 3, 10)},
        {us, wallClock(us, 2024, 3, 9, 2, 30), QDate(2024, 3, 10)}, // 02:30 is skipped on the 10th
        {us, wallClock(us, 2024, 3, 10), QDate(2024, 3, 11)},
        {us, wallClock(us, 2024, 3, 10, 23, 59), QDate(2024, 3, 11)},
        {us, wallClock(us, 2024, 11, 3), QDate(2024, 11, 4)},
        {us, utc(2024, 11, 3, 5, 30), QDate(2024, 11, 4)}, // 01:30 EDT
        {us, utc(2024, 11, 3, 6, 30), QDate(2024, 11, 4)}, // 01:30 EST
        {us, utc(2025, 1, 1, 4, 30), QDate(2025, 1, 1)},   // still New Year's Eve locally
        {de, wallClock(de, 2024, 3, 31), QDate(2024, 4, 1)},
        {de, wallClock(de, 2024, 10, 27, 12, 0), QDate(2024, 10, 28)},
        {de, utc(2024, 12, 31, 23, 30), QDate(2025, 1, 2)}, // already New Year's Day locally
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(startOfNextDay(c.from, c.calendar),
                  wallClock(c.calendar, c.expected.year(), c.expected.month(), c.expected.day()));
    }
}

struct LabelCase {
    const char *name;
    bool german;
    QDateTime now; // wall clock in the calendar's zone, converted by the test
    QDateTime date;
    const char16_t *label;
    const char16_t *shortLabel;
};

void PrintTo(const LabelCase &c, std::ostream *out) {
    *out << c.name;
}

class DayLabels : public ::testing::TestWithParam<LabelCase> {};

// Wall-clock moments are written as local date and time and converted in the test body.
QDateTime local(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

QDateTime inZone(const Calendar &calendar, const QDateTime &wall) {
    if (!wall.isValid())
        return {};
    return wallClock(calendar, wall.date().year(), wall.date().month(), wall.date().day(),
                     wall.time().hour(), wall.time().minute());
}

TEST_P(DayLabels, nameTheDayRelativeToNowOrFormatIt) {
    const LabelCase &c = GetParam();
    const Calendar calendar = c.german ? test::berlin() : test::newYork();
    const QDateTime now = inZone(calendar, c.now);
    const QDateTime date = inZone(calendar, c.date);
    EXPECT_EQ(dayLabel(date, now, calendar), QString::fromUtf16(c.label));
    EXPECT_EQ(shortDayLabel(date, now, calendar), QString::fromUtf16(c.shortLabel));
}

constexpr bool english = false;
constexpr bool german = true;
// Monday 2026-01-05, mid-morning.
const QDateTime monday = local(2026, 1, 5, 10, 0);

INSTANTIATE_TEST_SUITE_P(
    Days, DayLabels,
    ::testing::Values(
        LabelCase{"AbsentDate", english, monday, QDateTime(), u"Someday", u"Someday"},
        LabelCase{"StartOfToday", english, monday, local(2026, 1, 5), u"Today", u"Today"},
        LabelCase{"LateToday", english, monday, local(2026, 1, 5, 23, 59), u"Today", u"Today"},
        LabelCase{"Tomorrow", english, monday, local(2026, 1, 6), u"Tomorrow", u"Tomorrow"},
        LabelCase{"LateTomorrow", english, monday, local(2026, 1, 6, 23, 59), u"Tomorrow",
                  u"Tomorrow"},
        LabelCase{"Yesterday", english, monday, local(2026, 1, 4, 8, 0), u"Yesterday",
                  u"Yesterday"},
        LabelCase{"TwoDaysAhead", english, monday, local(2026, 1, 7), u"Wed, Jan 7", u"1/7"},
        LabelCase{"TwoDaysAgo", english, monday, local(2026, 1, 3), u"Sat, Jan 3", u"1/3"},
        LabelCase{"OneWeekAhead", english, monday, local(2026, 1, 12), u"Mon, Jan 12", u"1/12"},
        LabelCase{"OneWeekAgo", english, monday, local(2025, 12, 29), u"Mon, Dec 29", u"12/29"},
        LabelCase{"JustBeforeMidnight", english, local(2026, 1, 5, 23, 59), local(2026, 1, 6),
                  u"Tomorrow", u"Tomorrow"},
        LabelCase{"JustAfterMidnight", english, local(2026, 1, 6, 0, 1), local(2026, 1, 5, 23, 0),
                  u"Yesterday", u"Yesterday"},
        LabelCase{"TomorrowAfterTheShortDay", english, local(2024, 3, 10, 12, 0),
                  local(2024, 3, 11, 0, 30), u"Tomorrow", u"Tomorrow"},
        LabelCase{"YesterdayFromAfterTheShortDay", english, local(2024, 3, 11, 1, 0),
                  local(2024, 3, 10), u"Yesterday", u"Yesterday"},
        LabelCase{"TodayOnTheLongDay", english, local(2024, 11, 3, 23, 30), local(2024, 11, 3),
                  u"Today", u"Today"},
        LabelCase{"TomorrowAfterTheLongDay", english, local(2024, 11, 3, 23, 30),
                  local(2024, 11, 4), u"Tomorrow", u"Tomorrow"},
        LabelCase{"GermanToday", german, monday, local(2026, 1, 5, 18, 0), u"Today", u"Today"},
        LabelCase{"GermanTomorrow", german, monday, local(2026, 1, 6), u"Tomorrow", u"Tomorrow"},
        LabelCase{"GermanOneWeekAhead", german, monday, local(2026, 1, 12), u"Mo., 12. Jan.",
                  u"12.1."},
        LabelCase{"GermanAcrossDst", german, local(2024, 3, 30, 22, 0), local(2024, 3, 31, 12, 0),
                  u"Tomorrow", u"Tomorrow"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DayLabelZones, useTheCalendarsLocalDayNotTheUtcDay) {
    const Calendar us = test::newYork();
    const QDateTime now = wallClock(us, 2026, 1, 5, 10, 0);
    // 03:00 UTC on the 6th is 22:00 on the 5th in New York.
    EXPECT_EQ(dayLabel(utc(2026, 1, 6, 3, 0), now, us), u"Today"_s);
    EXPECT_EQ(dayLabel(utc(2026, 1, 13, 3, 0), now, us), u"Mon, Jan 12"_s);
    EXPECT_EQ(shortDayLabel(utc(2026, 1, 13, 3, 0), now, us), u"1/12"_s);
}

} // namespace
} // namespace qb
