#include "model/recurrencerule.h"

#include "model/calendar.h"
#include "modeltest.h"

#include <gtest/gtest.h>

namespace qb {

// Failure messages show a rule as its stored text.
void PrintTo(const RecurrenceRule &rule, std::ostream *out) {
    *out << rule.toJson().toStdString();
}

namespace {

using namespace Qt::Literals::StringLiterals;
using Frequency = RecurrenceRule::Frequency;
using test::wallClock;

RecurrenceRule rule(Frequency frequency, QList<int> weekdays = {},
                    std::optional<int> dayOfMonth = std::nullopt, bool lastDay = false,
                    std::optional<int> month = std::nullopt) {
    RecurrenceRule result;
    result.frequency = frequency;
    result.weekdays = std::move(weekdays);
    result.dayOfMonth = dayOfMonth;
    result.lastDay = lastDay;
    result.month = month;
    return result;
}
RecurrenceRule weekly(QList<int> weekdays) {
    return rule(Frequency::Weekly, std::move(weekdays));
}
RecurrenceRule monthlyOn(std::optional<int> day, bool lastDay = false) {
    return rule(Frequency::Monthly, {}, day, lastDay);
}
RecurrenceRule yearlyOn(std::optional<int> month, std::optional<int> day, bool lastDay = false) {
    return rule(Frequency::Yearly, {}, day, lastDay, month);
}
const RecurrenceRule daily = rule(Frequency::Daily);

// JSON form ----------------------------------------------------------------------------------

struct WrittenCase {
    const char *name;
    RecurrenceRule rule;
    const char *json;
};
void PrintTo(const WrittenCase &c, std::ostream *out) {
    *out << c.name;
}

class RecurrenceRuleWriting : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(RecurrenceRuleWriting, WritesCompactJsonWithKeysInFixedOrder) {
    EXPECT_EQ(GetParam().rule.toJson(), QByteArray(GetParam().json));
}

TEST_P(RecurrenceRuleWriting, ReadsBackWhatItWrote) {
    EXPECT_EQ(RecurrenceRule::fromJson(GetParam().rule.toJson()), GetParam().rule);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RecurrenceRuleWriting,
    ::testing::Values(
        WrittenCase{"Daily", daily, R"({"frequency":"daily","weekdays":[],"lastDay":false})"},
        WrittenCase{"MondayWednesdayFriday", weekly({1, 3, 5}),
                    R"({"frequency":"weekly","weekdays":[1,3,5],"lastDay":false})"},
        WrittenCase{"WeekdaysInStoredOrder", weekly({5, 0, 3}),
                    R"({"frequency":"weekly","weekdays":[5,0,3],"lastDay":false})"},
        WrittenCase{"MonthlyOnThe31st", monthlyOn(31),
                    R"({"frequency":"monthly","weekdays":[],"dayOfMonth":31,"lastDay":false})"},
        WrittenCase{"MonthlyOnTheLastDay", monthlyOn(std::nullopt, true),
                    R"({"frequency":"monthly","weekdays":[],"lastDay":true})"},
        WrittenCase{
            "YearlyOnFebruary29", yearlyOn(1, 29),
            R"({"frequency":"yearly","weekdays":[],"dayOfMonth":29,"lastDay":false,"month":1})"},
        WrittenCase{"PresentZeroMonthIsWritten", yearlyOn(0, std::nullopt),
                    R"({"frequency":"yearly","weekdays":[],"lastDay":false,"month":0})"},
        WrittenCase{
            "FieldsOfOtherFrequenciesAreCarriedAlong", rule(Frequency::Daily, {2}, 4, true, 6),
            R"({"frequency":"daily","weekdays":[2],"dayOfMonth":4,"lastDay":true,"month":6})"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecurrenceRuleReading, AcceptsAnyKeyOrderWhitespaceAndUnknownKeys) {
    const auto rule = RecurrenceRule::fromJson(R"( { "month" : 11, "lastDay" : true,
        "extra" : {"nested": [1, 2]}, "weekdays" : [ ], "frequency" : "yearly" } )");
    const RecurrenceRule expected = yearlyOn(11, std::nullopt, true);
    EXPECT_EQ(rule, expected);
}

TEST(RecurrenceRuleReading, ReadsNullOptionalKeysAsAbsent) {
    const auto rule = RecurrenceRule::fromJson(
        R"({"frequency":"monthly","weekdays":[],"dayOfMonth":null,"lastDay":false,"month":null})");
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->frequency, Frequency::Monthly);
    EXPECT_EQ(rule->dayOfMonth, std::nullopt);
    EXPECT_EQ(rule->month, std::nullopt);
}

TEST(RecurrenceRuleReading, KeepsOutOfRangeNumbersAsStored) {
    const auto rule = RecurrenceRule::fromJson(
        R"({"frequency":"weekly","weekdays":[9,-1,3],"dayOfMonth":-5,"lastDay":false,"month":40})");
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->weekdays, QList<int>({9, -1, 3}));
    EXPECT_EQ(rule->dayOfMonth, -5);
    EXPECT_EQ(rule->month, 40);
}

struct RejectedCase {
    const char *name;
    const char *json;
};
void PrintTo(const RejectedCase &c, std::ostream *out) {
    *out << c.name;
}

class RecurrenceRuleRejection : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RecurrenceRuleRejection, DoesNotDecode) {
    EXPECT_EQ(RecurrenceRule::fromJson(GetParam().json), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecurrenceRuleRejection,
    ::testing::Values(
        RejectedCase{"EmptyText", ""}, RejectedCase{"Garbage", "weekly on mondays"},
        RejectedCase{"JsonNull", "null"}, RejectedCase{"Array", R"([{"frequency":"daily"}])"},
        RejectedCase{"String", R"("daily")"}, RejectedCase{"EmptyObject", "{}"},
        RejectedCase{"Truncated", R"({"frequency":"daily","weekdays":[],"lastDay":false)"},
        RejectedCase{"TrailingGarbage", R"({"frequency":"daily","weekdays":[],"lastDay":false}x)"},
        RejectedCase{"MissingFrequency", R"({"weekdays":[],"lastDay":false})"},
        RejectedCase{"MissingWeekdays", R"({"frequency":"daily","lastDay":false})"},
        RejectedCase{"MissingLastDay", R"({"frequency":"monthly","weekdays":[],"dayOfMonth":3})"},
        RejectedCase{"UnknownFrequency", R"({"frequency":"hourly","weekdays":[],"lastDay":false})"},
        RejectedCase{"CapitalisedFrequency",
                     R"({"frequency":"Weekly","weekdays":[],"lastDay":false})"},
        RejectedCase{"NumericFrequency", R"({"frequency":1,"weekdays":[],"lastDay":false})"},
        RejectedCase{"NullFrequency", R"({"frequency":null,"weekdays":[],"lastDay":false})"},
        RejectedCase{"NullWeekdays", R"({"frequency":"weekly","weekdays":null,"lastDay":false})"},
        RejectedCase{"WeekdaysAsText",
                     R"({"frequency":"weekly","weekdays":"1,3","lastDay":false})"},
        RejectedCase{"WeekdayAsText", R"({"frequency":"weekly","weekdays":["1"],"lastDay":false})"},
        RejectedCase{"FractionalWeekday",
                     R"({"frequency":"weekly","weekdays":[1.5],"lastDay":false})"},
        RejectedCase{"NullWeekday", R"({"frequency":"weekly","weekdays":[null],"lastDay":false})"},
        RejectedCase{"LastDayAsNumber", R"({"frequency":"monthly","weekdays":[],"lastDay":0})"},
        RejectedCase{"LastDayAsText", R"({"frequency":"monthly","weekdays":[],"lastDay":"false"})"},
        RejectedCase{"NullLastDay", R"({"frequency":"monthly","weekdays":[],"lastDay":null})"},
        RejectedCase{"DayOfMonthAsText",
                     R"({"frequency":"monthly","weekdays":[],"dayOfMonth":"5","lastDay":false})"},
        RejectedCase{"FractionalDayOfMonth",
                     R"({"frequency":"monthly","weekdays":[],"dayOfMonth":5.5,"lastDay":false})"},
        RejectedCase{"DayOfMonthBeyondInt",
                     R"({"frequency":"monthly","weekdays":[],"dayOfMonth":1e12,"lastDay":false})"},
        RejectedCase{"DayOfMonthAsBoolean",
                     R"({"frequency":"monthly","weekdays":[],"dayOfMonth":true,"lastDay":false})"},
        RejectedCase{"MonthAsText",
                     R"({"frequency":"yearly","weekdays":[],"lastDay":false,"month":"1"})"},
        RejectedCase{"FractionalMonth",
                     R"({"frequency":"yearly","weekdays":[],"lastDay":false,"month":0.5})"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecurrenceRuleFrequency, RawStringsRoundTripAndNothingElseIsAFrequency) {
    for (Frequency f : {Frequency::Daily, Frequency::Weekly, Frequency::Monthly, Frequency::Yearly})
        EXPECT_EQ(RecurrenceRule::frequencyFromRaw(RecurrenceRule::rawValue(f)), f);
    EXPECT_EQ(RecurrenceRule::rawValue(Frequency::Monthly), u"monthly"_s);
    EXPECT_EQ(RecurrenceRule::frequencyFromRaw(u""_s), std::nullopt);
    EXPECT_EQ(RecurrenceRule::frequencyFromRaw(u"DAILY"_s), std::nullopt);
    EXPECT_EQ(RecurrenceRule::frequencyFromRaw(u"daily "_s), std::nullopt);
}

// Equality -----------------------------------------------------------------------------------

TEST(RecurrenceRuleEquality, ComparesEveryFieldAndWeekdayOrder) {
    const RecurrenceRule base = weekly({1, 3});
    EXPECT_EQ(base, weekly({1, 3}));
    EXPECT_NE(base, weekly({3, 1}));
    EXPECT_NE(base, (rule(Frequency::Daily, {1, 3})));

    const RecurrenceRule monthly = rule(Frequency::Monthly);
    EXPECT_NE(monthly, monthlyOn(1));
    EXPECT_NE(monthly, monthlyOn(std::nullopt, true));
    EXPECT_NE(monthly, (rule(Frequency::Monthly, {}, std::nullopt, false, 0)));
    EXPECT_NE(yearlyOn(2, std::nullopt), yearlyOn(3, std::nullopt));
}

// Description --------------------------------------------------------------------------------

struct DescriptionCase {
    const char *name;
    std::optional<RecurrenceRule> rule;
    bool german;
    const char16_t *text;
};
void PrintTo(const DescriptionCase &c, std::ostream *out) {
    *out << c.name;
}

class RecurrenceRuleDescription : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(RecurrenceRuleDescription, ReadsAsExpected) {
    const Calendar calendar = GetParam().german ? test::berlin() : test::newYork();
    EXPECT_EQ(description(GetParam().rule, calendar), QString::fromUtf16(GetParam().text));
}

constexpr bool english = false;
constexpr bool german = true;

INSTANTIATE_TEST_SUITE_P(
    Rules, RecurrenceRuleDescription,
    ::testing::Values(
        DescriptionCase{"NoRule", std::nullopt, english, u"Does not repeat"},
        DescriptionCase{"Daily", daily, english, u"Every day"},
        DescriptionCase{"WeeklyWithoutDays", weekly({}), english, u"Weekly on the chosen day"},
        DescriptionCase{"WeeklyOnMonday", weekly({1}), english, u"Weekly on Mondays"},
        DescriptionCase{"WeeklyOnSunday", weekly({0}), english, u"Weekly on Sundays"},
        DescriptionCase{"WeeklyOnSaturday", weekly({6}), english, u"Weekly on Saturdays"},
        DescriptionCase{"WeeklyDaysSorted", weekly({3, 1}), english, u"Weekly on Mon, Wed"},
        DescriptionCase{"WeeklyThreeDays", weekly({5, 1, 3}), english, u"Weekly on Mon, Wed, Fri"},
        DescriptionCase{"WeeklySixDays", weekly({6, 5, 4, 3, 2, 1}), english,
                        u"Weekly on Mon, Tue, Wed, Thu, Fri, Sat"},
        DescriptionCase{"WeeklyAllDays", weekly({3, 0, 6, 1, 5, 2, 4}), english,
                        u"Weekly on every day"},
        DescriptionCase{"MonthlyDefaultDay", rule(Frequency::Monthly), english,
                        u"Monthly on the 1st"},
        DescriptionCase{"Monthly2nd", monthlyOn(2), english, u"Monthly on the 2nd"},
        DescriptionCase{"Monthly3rd", monthlyOn(3), english, u"Monthly on the 3rd"},
        DescriptionCase{"Monthly11th", monthlyOn(11), english, u"Monthly on the 11th"},
        DescriptionCase{"Monthly22nd", monthlyOn(22), english, u"Monthly on the 22nd"},
        DescriptionCase{"Monthly31st", monthlyOn(31), english, u"Monthly on the 31st"},
        DescriptionCase{"MonthlyLastDayWinsOverDay", monthlyOn(15, true), english,
                        u"Monthly on the last day"},
        DescriptionCase{"YearlyOnMarch14", yearlyOn(2, 14), english, u"Every year on March 14"},
        DescriptionCase{"YearlyDefaults", rule(Frequency::Yearly), english,
                        u"Every year on January 1"},
        DescriptionCase{"YearlyOnFebruary29", yearlyOn(1, 29), english,
                        u"Every year on February 29"},
        DescriptionCase{"YearlyLastDayOfDecember", yearlyOn(11, std::nullopt, true), english,
                        u"Every year on the last day of December"},
        DescriptionCase{"GermanSingleWeekday", weekly({1}), german, u"Weekly on Montags"},
        DescriptionCase{"GermanShortWeekdays", weekly({3, 1}), german, u"Weekly on Mo., Mi."},
        DescriptionCase{"GermanOrdinal", monthlyOn(22), german, u"Monthly on the 22."},
        DescriptionCase{"GermanMonthName", yearlyOn(2, 14), german, u"Every year on M\u00e4rz 14"},
        DescriptionCase{"GermanLastDayOfDecember", yearlyOn(11, std::nullopt, true), german,
                        u"Every year on the last day of Dezember"},
        // Values the rule editor never writes: nothing may read outside the name lists.
        DescriptionCase{"WeekdaysOutOfRangeOnly", weekly({7, -1}), english,
                        u"Weekly on the chosen day"},
        DescriptionCase{"WeekdayOutOfRangeIgnored", weekly({9, 1}), english, u"Weekly on Mondays"},
        DescriptionCase{"MonthAboveDecemberClamps", yearlyOn(12, 25), english,
                        u"Every year on December 25"},
        DescriptionCase{"NegativeMonthClamps", yearlyOn(-3, std::nullopt, true), english,
                        u"Every year on the last day of January"},
        DescriptionCase{"MonthlyDayBelowOneClamps", monthlyOn(0), english, u"Monthly on the 1st"},
        DescriptionCase{"YearlyDayBelowOneClamps", yearlyOn(5, -4), english,
                        u"Every year on June 1"}),
    [](const auto &info) { return std::string(info.param.name); });

// Next date ----------------------------------------------------------------------------------

struct NextDateCase {
    const char *name;
    RecurrenceRule rule;
    QDate from;
    QTime at;
    bool includingStart;
    QDate expected;
};
void PrintTo(const NextDateCase &c, std::ostream *out) {
    *out << c.name;
}

class RecurrenceRuleNextDate : public ::testing::TestWithParam<NextDateCase> {
protected:
    Calendar calendar = test::newYork();
};

// Results are local midnights in New York, so the cases that land on or cross 2024-03-10 and
// 2024-11-03 also check the daylight-saving arithmetic.
TEST_P(RecurrenceRuleNextDate, IsTheStartOfTheExpectedDay) {
    const NextDateCase &c = GetParam();
    const QDateTime from = wallClock(calendar, c.from.year(), c.from.month(), c.from.day(),
                                     c.at.hour(), c.at.minute());
    EXPECT_EQ(c.rule.nextDate(from, c.includingStart, calendar),
              wallClock(calendar, c.expected.year(), c.expected.month(), c.expected.day()));
}

constexpr bool including = true;
constexpr bool excluding = false;
const QTime afternoon(15, 0);
const QTime midnight(0, 0);

// 2024-03-05 is a Tuesday; 2024-03-04 a Monday.
INSTANTIATE_TEST_SUITE_P(
    Daily, RecurrenceRuleNextDate,
    ::testing::Values(NextDateCase{"IncludingIsTheSameDay", daily, QDate(2024, 3, 5), afternoon,
                                   including, QDate(2024, 3, 5)},
                      NextDateCase{"ExcludingIsTheNextDay", daily, QDate(2024, 3, 5), afternoon,
                                   excluding, QDate(2024, 3, 6)},
                      NextDateCase{"OntoTheShortDay", daily, QDate(2024, 3, 9), QTime(23, 30),
                                   excluding, QDate(2024, 3, 10)},
                      NextDateCase{"FromTheShortDay", daily, QDate(2024, 3, 10), QTime(12, 0),
                                   excluding, QDate(2024, 3, 11)},
                      NextDateCase{"FromTheLongDay", daily, QDate(2024, 11, 3), QTime(23, 30),
                                   excluding, QDate(2024, 11, 4)},
                      NextDateCase{"OverTheYearEnd", daily, QDate(2024, 12, 31), afternoon,
                                   excluding, QDate(2025, 1, 1)}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Weekly, RecurrenceRuleNextDate,
    ::testing::Values(NextDateCase{"MondayFromMondayIncluding", weekly({1}), QDate(2024, 3, 4),
                                   afternoon, including, QDate(2024, 3, 4)},
                      NextDateCase{"MondayFromMondayExcludingIsAWeekLaterAcrossDst", weekly({1}),
                                   QDate(2024, 3, 4), afternoon, excluding, QDate(2024, 3, 11)},
                      NextDateCase{"EmptyExcludingIsSevenDaysLater", weekly({}), QDate(2024, 3, 5),
                                   afternoon, excluding, QDate(2024, 3, 12)},
                      NextDateCase{"EmptyIncludingIsTheStart", weekly({}), QDate(2024, 3, 5),
                                   afternoon, including, QDate(2024, 3, 5)},
                      NextDateCase{"NextOfSeveralDays", weekly({5, 1}), QDate(2024, 3, 6),
                                   afternoon, excluding, QDate(2024, 3, 8)},
                      NextDateCase{"WrapsIntoNextWeek", weekly({5, 1}), QDate(2024, 3, 8),
                                   afternoon, excluding, QDate(2024, 3, 11)},
                      NextDateCase{"SundayIsTheLongDay", weekly({0}), QDate(2024, 11, 2), afternoon,
                                   excluding, QDate(2024, 11, 3)},
                      NextDateCase{"SaturdayFromSunday", weekly({6}), QDate(2024, 3, 10), midnight,
                                   including, QDate(2024, 3, 16)},
                      NextDateCase{"OnlyOutOfRangeDaysActLikeEmpty", weekly({7, 9, -1}),
                                   QDate(2024, 3, 5), afternoon, excluding, QDate(2024, 3, 12)},
                      NextDateCase{"OutOfRangeDaysAreIgnored", weekly({8, 3}), QDate(2024, 3, 5),
                                   afternoon, excluding, QDate(2024, 3, 6)}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Monthly, RecurrenceRuleNextDate,
    ::testing::Values(NextDateCase{"Day31ClampsToApril30", monthlyOn(31), QDate(2024, 4, 15),
                                   afternoon, including, QDate(2024, 4, 30)},
                      NextDateCase{"Day31FromApril30IsMay31", monthlyOn(31), QDate(2024, 4, 30),
                                   afternoon, excluding, QDate(2024, 5, 31)},
                      NextDateCase{"Day31FromJanuary31IsLeapFebruary", monthlyOn(31),
                                   QDate(2024, 1, 31), afternoon, excluding, QDate(2024, 2, 29)},
                      NextDateCase{"LastDayOfLeapFebruary", monthlyOn(std::nullopt, true),
                                   QDate(2024, 1, 31), afternoon, excluding, QDate(2024, 2, 29)},
                      NextDateCase{"LastDayOfCommonFebruary", monthlyOn(std::nullopt, true),
                                   QDate(2023, 1, 31), afternoon, excluding, QDate(2023, 2, 28)},
                      NextDateCase{"LastDayIncludingTheLastDay", monthlyOn(10, true),
                                   QDate(2024, 4, 30), afternoon, including, QDate(2024, 4, 30)},
                      NextDateCase{"AbsentDayIsTheFirst", monthlyOn(std::nullopt),
                                   QDate(2024, 3, 15), afternoon, excluding, QDate(2024, 4, 1)},
                      NextDateCase{"FirstIncludingTheFirst", monthlyOn(1), QDate(2024, 3, 1),
                                   afternoon, including, QDate(2024, 3, 1)},
                      NextDateCase{"FirstExcludingTheFirst", monthlyOn(1), QDate(2024, 3, 1),
                                   afternoon, excluding, QDate(2024, 4, 1)},
                      NextDateCase{"LaterThisMonth", monthlyOn(20), QDate(2024, 3, 15), afternoon,
                                   excluding, QDate(2024, 3, 20)},
                      NextDateCase{"OverTheYearEnd", monthlyOn(15), QDate(2024, 12, 20), afternoon,
                                   excluding, QDate(2025, 1, 15)},
                      NextDateCase{"OntoTheShortDay", monthlyOn(10), QDate(2024, 3, 9), afternoon,
                                   excluding, QDate(2024, 3, 10)},
                      NextDateCase{"OntoTheLongDay", monthlyOn(3), QDate(2024, 10, 20), afternoon,
                                   excluding, QDate(2024, 11, 3)},
                      NextDateCase{"DayZeroClampsToTheFirst", monthlyOn(0), QDate(2024, 3, 15),
                                   afternoon, excluding, QDate(2024, 4, 1)},
                      NextDateCase{"NegativeDayClampsToTheFirst", monthlyOn(-4), QDate(2024, 3, 1),
                                   afternoon, including, QDate(2024, 3, 1)},
                      NextDateCase{"HugeDayClampsToTheLast", monthlyOn(400), QDate(2024, 2, 1),
                                   afternoon, including, QDate(2024, 2, 29)}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Yearly, RecurrenceRuleNextDate,
    ::testing::Values(NextDateCase{"February29InACommonYear", yearlyOn(1, 29), QDate(2025, 3, 1),
                                   afternoon, excluding, QDate(2026, 2, 28)},
                      NextDateCase{"February29InALeapYear", yearlyOn(1, 29), QDate(2024, 1, 10),
                                   afternoon, including, QDate(2024, 2, 29)},
                      NextDateCase{"LastDayOfDecemberIncluding", yearlyOn(11, std::nullopt, true),
                                   QDate(2024, 12, 31), afternoon, including, QDate(2024, 12, 31)},
                      NextDateCase{"LastDayOfDecemberExcluding", yearlyOn(11, std::nullopt, true),
                                   QDate(2024, 12, 31), afternoon, excluding, QDate(2025, 12, 31)},
                      NextDateCase{"DefaultsAreJanuaryFirst", yearlyOn(std::nullopt, std::nullopt),
                                   QDate(2024, 6, 1), afternoon, excluding, QDate(2025, 1, 1)},
                      NextDateCase{"LaterThisYear", yearlyOn(2, 14), QDate(2024, 1, 20), afternoon,
                                   excluding, QDate(2024, 3, 14)},
                      NextDateCase{"OntoTheLongDay", yearlyOn(10, 3), QDate(2024, 6, 1), afternoon,
                                   excluding, QDate(2024, 11, 3)},
                      NextDateCase{"MonthAboveRangeClampsToDecember", yearlyOn(12, 25),
                                   QDate(2024, 6, 1), afternoon, excluding, QDate(2024, 12, 25)},
                      NextDateCase{"NegativeMonthClampsToJanuary", yearlyOn(-1, 5),
                                   QDate(2024, 6, 1), afternoon, excluding, QDate(2025, 1, 5)},
                      NextDateCase{"DayZeroClampsToTheFirst", yearlyOn(5, 0), QDate(2024, 6, 1),
                                   afternoon, excluding, QDate(2025, 6, 1)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecurrenceRuleNextDateInBerlin, ResultsAreLocalMidnightsAcrossDst) {
    const Calendar calendar = test::berlin();
    EXPECT_EQ(daily.nextDate(wallClock(calendar, 2024, 3, 30, 23, 30), excluding, calendar),
              wallClock(calendar, 2024, 3, 31));
    EXPECT_EQ(weekly({1}).nextDate(wallClock(calendar, 2024, 3, 25, 8, 0), excluding, calendar),
              wallClock(calendar, 2024, 4, 1));
    EXPECT_EQ(monthlyOn(27).nextDate(wallClock(calendar, 2024, 10, 1), excluding, calendar),
              wallClock(calendar, 2024, 10, 27));
}

// Every rule finds its day within a week, two months or two years of the start, far inside the
// search limits; the answer is always an admissible local midnight on a day the rule wants.
TEST(RecurrenceRuleNextDateThroughAYear, IsAlwaysAnAdmissibleWantedMidnight) {
    const Calendar calendar = test::newYork();
    const RecurrenceRule rules[] = {daily,           weekly({2}),
                                    weekly({}),      weekly({0, 6}),
                                    monthlyOn(31),   monthlyOn(std::nullopt, true),
                                    yearlyOn(1, 29), yearlyOn(11, std::nullopt, true)};
    for (QDate day(2024, 1, 1); day.year() == 2024; day = day.addDays(1)) {
        const QDateTime from = wallClock(calendar, day.year(), day.month(), day.day(), 13, 0);
        const QDateTime start = calendar.startOfDay(from);
        for (const RecurrenceRule &r : rules) {
            for (const bool include : {including, excluding}) {
                const QDateTime next = r.nextDate(from, include, calendar);
                SCOPED_TRACE(day.toString(Qt::ISODate).toStdString() + " " +
                             r.toJson().toStdString() + (include ? " including" : " excluding"));
                ASSERT_EQ(calendar.startOfDay(next), next);
                ASSERT_TRUE(include ? next >= start : next > start);
                const int wantedDays = r.frequency == Frequency::Yearly ? 2 * 366 : 62;
                ASSERT_LE(start.daysTo(next), wantedDays);
                const int lastOfMonth =
                    *calendar.daysInMonth(calendar.year(next), calendar.month(next));
                switch (r.frequency) {
                case Frequency::Daily:
                    ASSERT_EQ(start.daysTo(next), include ? 0 : 1);
                    break;
                case Frequency::Weekly: {
                    const QList<int> wanted =
                        r.weekdays.isEmpty() ? QList<int>{calendar.weekday(start) - 1} : r.weekdays;
                    ASSERT_TRUE(wanted.contains(calendar.weekday(next) - 1));
                    ASSERT_LE(start.daysTo(next), 7);
                    break;
                }
                case Frequency::Monthly:
                case Frequency::Yearly:
                    ASSERT_EQ(calendar.day(next),
                              r.lastDay ? lastOfMonth : std::min(*r.dayOfMonth, lastOfMonth));
                    if (r.frequency == Frequency::Yearly) {
                        ASSERT_EQ(calendar.month(next), *r.month + 1);
                    }
                    break;
                }
            }
        }
    }
}

} // namespace
} // namespace qb
