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
using test::wallClockText;
constexpr bool including = true;
constexpr bool excluding = false;

// JSON form ----------------------------------------------------------------------------------

// Each line of the golden file is "stored text | the rule it reads as, written back": any key
// order, extra keys and nulls are read, and numbers out of range kept as stored.
TEST(RecurrenceRule, readsAnyKeyOrderNullsAndOutOfRangeNumbersAsStored) {
    test::expectGolden(QB_MODEL_DATA "/storedrules.txt", 2, 1, [](const QStringList &fields) {
        const auto rule = RecurrenceRule::fromJson(fields[0].toUtf8());
        return rule ? QString::fromUtf8(rule->toJson()) : u"none"_s;
    });
}

// The data file holds one text a line that is not a whole, well-typed rule.
TEST(RecurrenceRule, rejectsTextsThatAreNotAWholeWellTypedRule) {
    EXPECT_EQ(RecurrenceRule::fromJson(""), std::nullopt);
    for (const QByteArray &text : test::dataLines(QB_MODEL_DATA "/unreadablerules.txt"))
        EXPECT_EQ(RecurrenceRule::fromJson(text), std::nullopt) << text.constData();
}

// Description --------------------------------------------------------------------------------

// Each line of the golden file is "locale | rule as stored, or none | description"; the test
// writes each rule back as it would store it, with the description it gets, into the same
// layout and compares the whole text: stored rules are compact, with keys in a fixed order.
TEST(RecurrenceRule, descriptionsMatchTheGoldenFile) {
    test::expectGolden(QB_MODEL_DATA "/ruledescriptions.txt", 3, 2, [](const QStringList &fields) {
        const auto rule =
            fields[1] == u"none"_s ? std::nullopt : RecurrenceRule::fromJson(fields[1].toUtf8());
        EXPECT_TRUE(rule || fields[1] == u"none"_s) << fields[1].toStdString();
        return (rule ? QString::fromUtf8(rule->toJson()) : fields[1]) + u" | "_s +
               description(rule, test::calendarFor(fields[0]));
    });
}

// Next date ----------------------------------------------------------------------------------

// Each line of the golden file is "rule as stored | from | including or excluding | next date",
// times on New York's wall clock. The results are local midnights, so the cases that land on
// or cross 2024-03-10 and 2024-11-03 also check the daylight-saving arithmetic; 2024-03-05 is
// a Tuesday. Ordinary rules from every day of a year are the next test's; these are the edges
// and the stored values out of range.
TEST(RecurrenceRule, nextDateIsTheStartOfTheExpectedDay) {
    const Calendar calendar = test::newYork();
    test::expectGolden(QB_MODEL_DATA "/nextdates.txt", 4, 1, [&](const QStringList &fields) {
        const auto rule = RecurrenceRule::fromJson(fields[0].toUtf8());
        EXPECT_TRUE(rule) << fields[0].toStdString();
        return rule ? wallClockText(calendar, rule->nextDate(wallClock(calendar, fields[1]),
                                                             fields[2] == u"including"_s, calendar))
                    : u"none"_s;
    });
}

// Every rule of the data file, one a line (daily, weekly, monthly and yearly ones, on a day or
// the last day, and on 29 February), finds its day within a week, two months or two years of the
// start, far inside the search limits; the answer is always an admissible local midnight on a day
// the rule wants.
TEST(RecurrenceRule, nextDateThroughAYearIsAlwaysAnAdmissibleWantedMidnight) {
    const Calendar calendar = test::newYork();
    QList<RecurrenceRule> rules;
    for (const QByteArray &text : test::dataLines(QB_MODEL_DATA "/yearrules.txt")) {
        const auto rule = RecurrenceRule::fromJson(text);
        ASSERT_TRUE(rule) << text.constData();
        rules.append(*rule);
    }
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
