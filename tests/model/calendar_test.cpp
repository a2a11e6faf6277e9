#include "model/calendar.h"

#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using test::utc;
using test::wallClock;
using Width = Calendar::NameWidth;
using namespace Qt::Literals::StringLiterals;

class CalendarTest : public ::testing::Test {
protected:
    Calendar us = test::newYork();
    Calendar de = test::berlin();
};

TEST_F(CalendarTest, startOfDayIsLocalMidnightAsAUtcMoment) {
    const QDateTime start = us.startOfDay(wallClock(us, 2024, 3, 10, 15, 0));
    EXPECT_EQ(start, wallClock(us, 2024, 3, 10));
    EXPECT_EQ(start.timeSpec(), Qt::UTC);

    // 04:30 UTC on New Year's Day is still New Year's Eve in New York.
    EXPECT_EQ(us.startOfDay(utc(2025, 1, 1, 4, 30)), wallClock(us, 2024, 12, 31));
    // 23:30 UTC on New Year's Eve is already New Year's Day in Berlin.
    EXPECT_EQ(de.startOfDay(utc(2024, 12, 31, 23, 30)), wallClock(de, 2025, 1, 1));
    // Midnight itself and the last minute of the day stay in their day.
    EXPECT_EQ(us.startOfDay(wallClock(us, 2024, 11, 3)), wallClock(us, 2024, 11, 3));
    EXPECT_EQ(us.startOfDay(wallClock(us, 2024, 11, 3, 23, 59)), wallClock(us, 2024, 11, 3));
    // 01:30 happens twice on 2024-11-03 in New York: 05:30 UTC (EDT) and 06:30 UTC (EST).
    EXPECT_EQ(us.startOfDay(utc(2024, 11, 3, 5, 30)), wallClock(us, 2024, 11, 3));
    EXPECT_EQ(us.startOfDay(utc(2024, 11, 3, 6, 30)), wallClock(us, 2024, 11, 3));
}

TEST_F(CalendarTest, addingOneDayToAStartOfDayLandsOnTheNextStartOfDayAcrossDst) {
    struct Case {
        const Calendar &calendar;
        QDate day;
        int hours;
    };
    const Case cases[] = {
        {us, QDate(2024, 3, 10), 23}, {us, QDate(2024, 11, 3), 25},  {us, QDate(2024, 6, 1), 24},
        {de, QDate(2024, 3, 31), 23}, {de, QDate(2024, 10, 27), 25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        const QDateTime start = wallClock(c.calendar, c.day.year(), c.day.month(), c.day.day());
        const auto next = c.calendar.addDays(start, 1);
        ASSERT_TRUE(next);
        const QDate following = c.day.addDays(1);
        EXPECT_EQ(*next,
                  wallClock(c.calendar, following.year(), following.month(), following.day()));
        EXPECT_EQ(start.secsTo(*next), c.hours * 3600);
    }
}

TEST_F(CalendarTest, addDaysKeepsTheWallClockTimeAndGoesBackwards) {
    EXPECT_EQ(us.addDays(wallClock(us, 2024, 3, 9, 9, 30), 1), wallClock(us, 2024, 3, 10, 9, 30));
    EXPECT_EQ(us.addDays(wallClock(us, 2024, 3, 11), -1), wallClock(us, 2024, 3, 10));
    EXPECT_EQ(us.addDays(wallClock(us, 2024, 11, 4), -2), wallClock(us, 2024, 11, 2));
    EXPECT_EQ(us.addDays(wallClock(us, 2024, 12, 31, 18, 0), 1), wallClock(us, 2025, 1, 1, 18, 0));
    EXPECT_EQ(de.addDays(wallClock(de, 2024, 2, 28), 1), wallClock(de, 2024, 2, 29));
}

TEST_F(CalendarTest, addMonthsPinsToTheLastDayOfAShorterMonth) {
    struct Case {
        QDate from;
        int months;
        QDate expected;
    };
    const Case cases[] = {
        {QDate(2024, 1, 31), 1, QDate(2024, 2, 29)},  {QDate(2024, 3, 31), -1, QDate(2024, 2, 29)},
        {QDate(2024, 12, 15), 1, QDate(2025, 1, 15)}, {QDate(2024, 2, 29), 12, QDate(2025, 2, 28)},
        {QDate(2024, 2, 10), 1, QDate(2024, 3, 10)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString() + " + " + std::to_string(c.months));
        const auto result =
            us.addMonths(wallClock(us, c.from.year(), c.from.month(), c.from.day()), c.months);
        EXPECT_EQ(result, wallClock(us, c.expected.year(), c.expected.month(), c.expected.day()));
    }
}

TEST_F(CalendarTest, weekdayYearMonthAndDayAreReadInLocalTime) {
    EXPECT_EQ(us.weekday(wallClock(us, 2024, 3, 10, 12, 0)), 1);  // Sunday
    EXPECT_EQ(us.weekday(wallClock(us, 2026, 1, 5)), 2);          // Monday
    EXPECT_EQ(us.weekday(wallClock(us, 2024, 3, 16, 23, 59)), 7); // Saturday
    // 03:00 UTC on a Tuesday is still Monday evening in New York.
    EXPECT_EQ(us.weekday(utc(2026, 1, 6, 3, 0)), 2);
    EXPECT_EQ(de.weekday(utc(2026, 1, 4, 23, 30)), 2); // Monday 00:30 in Berlin
    const QDateTime eve = utc(2025, 1, 1, 4, 30);
    EXPECT_EQ(QDate(us.year(eve), us.month(eve), us.day(eve)), QDate(2024, 12, 31));
    EXPECT_EQ(QDate(de.year(eve), de.month(eve), de.day(eve)), QDate(2025, 1, 1));
}

TEST_F(CalendarTest, dateFromGivesLocalMidnightOrNothingForAMissingDay) {
    EXPECT_EQ(us.dateFrom(2024, 3, 10), wallClock(us, 2024, 3, 10));
    EXPECT_EQ(us.dateFrom(2024, 11, 3), wallClock(us, 2024, 11, 3));
    EXPECT_EQ(de.dateFrom(2024, 2, 29), wallClock(de, 2024, 2, 29));
    EXPECT_EQ(de.dateFrom(2000, 2, 29), wallClock(de, 2000, 2, 29));
    for (const auto &[year, month, day] :
         {std::tuple{2023, 2, 29}, std::tuple{1900, 2, 29}, std::tuple{2024, 4, 31},
          std::tuple{2024, 1, 0}, std::tuple{2024, 1, -1}, std::tuple{2024, 0, 1},
          std::tuple{2024, 13, 1}}) {
        SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month) + "-" +
                     std::to_string(day));
        EXPECT_EQ(us.dateFrom(year, month, day), std::nullopt);
    }
}

TEST_F(CalendarTest, daysAreProlepticGregorianFromYearOneToNineThousandNineHundredNinetyNine) {
    const Calendar utcCalendar(QStringLiteral("en_US"), QStringLiteral("UTC"));
    // Around the Julian switch-over of 1582 and at both ends, days are QDate's days.
    for (const QDate &day :
         {QDate(1582, 10, 4), QDate(1582, 10, 5), QDate(1582, 10, 10), QDate(1582, 10, 15),
          QDate(1, 1, 1), QDate(9999, 12, 31), QDate(1600, 2, 29)}) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(utcCalendar.dateFrom(day.year(), day.month(), day.day()),
                  utc(day.year(), day.month(), day.day()));
        const auto local = us.dateFrom(day.year(), day.month(), day.day());
        ASSERT_TRUE(local);
        EXPECT_EQ(QDate(us.year(*local), us.month(*local), us.day(*local)), day);
        EXPECT_EQ(us.weekday(*local), day.dayOfWeek() % 7 + 1);
    }
    EXPECT_EQ(us.daysInMonth(1500, 2), 28); // a Julian leap year, not a Gregorian one
    EXPECT_EQ(us.addDays(*us.dateFrom(1582, 10, 4), 1), us.dateFrom(1582, 10, 5));
    EXPECT_EQ(us.format(*us.dateFrom(1582, 10, 10), "yMMMd"), u"Oct 10, 1582"_s);

    // No date outside the years is made, by any operation.
    EXPECT_EQ(us.dateFrom(0, 12, 31), std::nullopt);
    EXPECT_EQ(us.dateFrom(10000, 1, 1), std::nullopt);
    EXPECT_EQ(us.daysInMonth(10000, 1), std::nullopt);
    EXPECT_EQ(us.addDays(*us.dateFrom(9999, 12, 31), 1), std::nullopt);
    EXPECT_EQ(us.addDays(*us.dateFrom(1, 1, 1), -1), std::nullopt);
    EXPECT_EQ(us.addMonths(*us.dateFrom(9999, 12, 1), 1), std::nullopt);
    EXPECT_EQ(us.addMonths(*us.dateFrom(1, 1, 31), -1), std::nullopt);
    EXPECT_EQ(us.addDays(*us.dateFrom(9999, 12, 30), 1), us.dateFrom(9999, 12, 31));
}

TEST(CalendarSystemTest, localesWithAnotherCalendarSystemStillCountGregorianDays) {
    for (const char *localeId : {"fa_IR", "ar_SA", "th_TH", "ja_JP@calendar=japanese"}) {
        SCOPED_TRACE(localeId);
        const Calendar calendar(QString::fromLatin1(localeId), QStringLiteral("UTC"));
        const auto day = calendar.dateFrom(2026, 1, 5);
        EXPECT_EQ(day, utc(2026, 1, 5));
        ASSERT_TRUE(day);
        EXPECT_EQ(calendar.year(*day), 2026);
        EXPECT_EQ(calendar.month(*day), 1);
        EXPECT_EQ(calendar.daysInMonth(2026, 2), 28);
    }
    // Month names and formatted days follow the same calendar.
    const Calendar persian(QStringLiteral("fa_IR"), QStringLiteral("UTC"));
    const Calendar english(QStringLiteral("en_US"), QStringLiteral("UTC"));
    // January, not Farvardin (the ending is the format form's ezafe).
    EXPECT_TRUE(persian.monthNames(Width::Full).first().startsWith(QStringLiteral("ژانویه")));
    EXPECT_EQ(english.format(utc(2026, 1, 5), "yMMMMd"), u"January 5, 2026"_s);
    EXPECT_TRUE(persian.format(utc(2026, 1, 5), "yMMMMd").contains(QStringLiteral("ژانویه")))
        << persian.format(utc(2026, 1, 5), "yMMMMd").toStdString();
}

// Both moments fall on the next day in UTC: the local day is shown.
TEST_F(CalendarTest, skeletonsAreArrangedPerLocaleForTheLocalDay) {
    const QDateTime usDay = utc(2026, 1, 6, 3, 0);
    EXPECT_EQ(us.format(usDay, "EEEMMMd"), u"Mon, Jan 5"_s);
    EXPECT_EQ(us.format(usDay, "EEEEMMMd"), u"Monday, Jan 5"_s);
    EXPECT_EQ(us.format(usDay, "Md"), u"1/5"_s);

    const QDateTime deDay = utc(2026, 1, 4, 23, 30);
    EXPECT_EQ(de.format(deDay, "EEEMMMd"), u"Mo., 5. Jan."_s);
    EXPECT_EQ(de.format(deDay, "EEEEMMMd"), u"Montag, 5. Jan."_s);
    EXPECT_EQ(de.format(deDay, "Md"), u"5.1."_s);
}

// Each line of the golden file is "locale | now | moment | relative time", on the wall clock
// of New York, Berlin or London. Late yesterday is less than a day ago but still "yesterday".
// Days are counted by the calendar across the daylight-saving change: in London local midnight
// moves from 00:00 to 23:00 UTC when summer time starts, so the UTC dates of two midnights
// differ by one day less than the local ones.
TEST(CalendarRelativeTime, namesRecentMomentsByCalendarDaysAsTheGoldenFileSays) {
    const auto golden = test::readGolden(QStringLiteral(QB_MODEL_DATA "/relativetimes.txt"), 4);
    QString named;
    for (const QStringList &fields : golden.rows) {
        const Calendar calendar = test::calendarFor(fields[0]);
        named +=
            fields.mid(0, 3).join(u" | "_s) + u" | "_s +
            calendar.relativeTime(wallClock(calendar, fields[2]), wallClock(calendar, fields[1])) +
            u'\n';
    }
    EXPECT_EQ(named, golden.text);
}

TEST(CalendarZoneTest, anUnknownZoneFallsBackToUtc) {
    const Calendar calendar(QStringLiteral("en_US"), QStringLiteral("Nowhere/Atlantis"));
    EXPECT_EQ(calendar.startOfDay(utc(2024, 3, 10, 15, 0)), utc(2024, 3, 10));
    EXPECT_EQ(calendar.addDays(utc(2024, 3, 10), 1), utc(2024, 3, 11));
}

} // namespace
} // namespace qb
