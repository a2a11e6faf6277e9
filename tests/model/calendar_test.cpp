#include "model/calendar.h"

#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using test::utc;
using test::wallClock;
using Width = Calendar::NameWidth;
using namespace Qt::Literals::StringLiterals;

// Each line of the golden file is "locale | operation | moment | result", on the wall clock of
// New York or Berlin, or in UTC where a time ends in "Z": the start of the day holding the
// moment, whole days or months added to it, its weekday (1 is Sunday), its local date, or the
// moment formatted with a skeleton, arranged per locale for the local day; or the local
// midnight of a year, month and day, none for a day the month does not have, or the days of a
// year's month, 0 for none. Days are proleptic Gregorian from year 1 to 9999, also in locales
// with another calendar system, and no date outside those years is made.
// New Year's Eve and Day in UTC are the next or the previous local day; 01:30 happens twice on
// 2024-11-03 in New York (05:30 UTC in summer time, 06:30 UTC after); 2024-03-10 and
// 2024-11-03 in New York and 2024-03-31 and 2024-10-27 in Berlin last 23 or 25 hours, and
// added days keep the wall-clock time across them. Added months pin to the last day of a
// shorter month.
TEST(CalendarArithmetic, followsTheLocalWallClockAsTheGoldenFileSays) {
    test::expectGolden(QB_MODEL_DATA "/arithmetic.txt", 4, 1, [](const QStringList &fields) {
        const Calendar calendar = test::calendarFor(fields[0]);
        const QDateTime moment = wallClock(calendar, fields[2]);
        const QString operation = fields[1].section(u' ', 0, 0);
        const int count = fields[1].section(u' ', 1, 1).toInt();
        const QStringList numbers = fields[2].split(u' ');
        const auto text = [&](const std::optional<QDateTime> &result) {
            return result ? test::wallClockText(calendar, *result) : u"none"_s;
        };
        if (operation == u"startOfDay") {
            EXPECT_EQ(calendar.startOfDay(moment).timeSpec(), Qt::UTC);
            return text(calendar.startOfDay(moment));
        }
        if (operation == u"addDays")
            return text(calendar.addDays(moment, count));
        if (operation == u"addMonths")
            return text(calendar.addMonths(moment, count));
        if (operation == u"weekday")
            return QString::number(calendar.weekday(moment));
        if (operation == u"dateFrom")
            return text(
                calendar.dateFrom(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt()));
        if (operation == u"daysInMonth")
            return QString::number(
                calendar.daysInMonth(numbers[0].toInt(), numbers[1].toInt()).value_or(0));
        if (operation == u"format")
            return calendar.format(moment, fields[1].section(u' ', 1, 1));
        return QDate(calendar.year(moment), calendar.month(moment), calendar.day(moment))
            .toString(Qt::ISODate);
    });
}

// January in Persian, not Farvardin (the ending is the format form's ezafe).
TEST(CalendarSystemTest, monthNamesAreGregorianInLocalesWithAnotherCalendarSystem) {
    const Calendar persian(QStringLiteral("fa_IR"), QStringLiteral("UTC"));
    EXPECT_TRUE(persian.monthNames(Width::Full).first().startsWith(QStringLiteral("ژانویه")));
}

// Each line of the golden file is "locale | now | moment | relative time", on the wall clock
// of New York, Berlin or London. Late yesterday is less than a day ago but still "yesterday".
// Days are counted by the calendar across the daylight-saving change: in London local midnight
// moves from 00:00 to 23:00 UTC when summer time starts, so the UTC dates of two midnights
// differ by one day less than the local ones.
TEST(CalendarRelativeTime, namesRecentMomentsByCalendarDaysAsTheGoldenFileSays) {
    test::expectGolden(QB_MODEL_DATA "/relativetimes.txt", 4, 1, [](const QStringList &fields) {
        const Calendar calendar = test::calendarFor(fields[0]);
        return calendar.relativeTime(wallClock(calendar, fields[2]),
                                     wallClock(calendar, fields[1]));
    });
}

TEST(CalendarZoneTest, anUnknownZoneFallsBackToUtc) {
    const Calendar calendar(QStringLiteral("en_US"), QStringLiteral("Nowhere/Atlantis"));
    EXPECT_EQ(calendar.startOfDay(utc(2024, 3, 10, 15, 0)), utc(2024, 3, 10));
    EXPECT_EQ(calendar.addDays(utc(2024, 3, 10), 1), utc(2024, 3, 11));
}

} // namespace
} // namespace qb
