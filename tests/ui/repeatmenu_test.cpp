#include "appfixture.h"
#include "detail/repeatmenumodel.h"

using namespace qb;

namespace {

using Frequency = RecurrenceRule::Frequency;

// The fixture's clock stands at 15:00 on Saturday 9 March 2024 in New York.
class RepeatMenu : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        menu.setApp(app.get());
    }

    // A to-do as the popover sees it when it opens.
    TodoItemPtr open(const QDateTime &date = {},
                     const std::optional<RecurrenceRule> &rule = std::nullopt) {
        auto item = date.isValid() ? store().add(QStringLiteral("Pay rent"), date)
                                   : store().add(QStringLiteral("Pay rent"), TodoList::Later);
        if (rule)
            store().setRepeat(item, rule);
        menu.setTodo(item.get());
        menu.setPresented(true);
        return item;
    }
    static RecurrenceRule weekly(QList<int> weekdays) {
        RecurrenceRule rule;
        rule.frequency = Frequency::Weekly;
        rule.weekdays = std::move(weekdays);
        return rule;
    }

    RepeatMenuModel menu;
};

} // namespace

TEST_F(RepeatMenu, weeklyOnAnUndatedTodoStartsOnTodaysWeekday) {
    setClock(at(2024, 3, 13, 10)); // a Wednesday
    auto item = open();
    EXPECT_TRUE(menu.frequency().isEmpty());
    EXPECT_FALSE(menu.isRepeating());
    EXPECT_EQ(menu.accessibleValue(), QStringLiteral("Off"));

    menu.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(item->recurrenceRule(), weekly({3}));
    EXPECT_TRUE(menu.isRepeating());
    EXPECT_EQ(menu.accessibleValue(), QStringLiteral("Weekly on Wednesdays"));
    EXPECT_TRUE(menu.isPresented());
}

TEST_F(RepeatMenu, aDatedTodoStartsOnTheWeekdayOfItsDateNotToday) {
    auto item = open(at(2024, 3, 15)); // a Friday; today is Saturday
    menu.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(item->recurrenceRule(), weekly({5}));
}

TEST_F(RepeatMenu, weekdayChipsKeepTheRuleSortedAndTheLastOneOn) {
    auto item = open(at(2024, 3, 15));
    menu.selectFrequency(QStringLiteral("weekly"));
    menu.toggleWeekday(1);
    menu.toggleWeekday(3);
    EXPECT_EQ(item->recurrenceRule(), weekly({1, 3, 5}));
    menu.toggleWeekday(5);
    menu.toggleWeekday(1);
    EXPECT_EQ(item->recurrenceRule(), weekly({3}));

    // Pressing the last one re-applies the same rule, which the store ignores.
    const auto entries = item->changes().size();
    menu.toggleWeekday(3);
    EXPECT_EQ(menu.weekdays(), QList<int>{3});
    EXPECT_EQ(item->recurrenceRule(), weekly({3}));
    EXPECT_EQ(item->changes().size(), entries);
}

TEST_F(RepeatMenu, lastDayThenAnumberedDayInTheMonthlyPicker) {
    auto item = open(at(2024, 3, 20));
    menu.selectFrequency(QStringLiteral("monthly"));
    EXPECT_EQ(item->recurrenceRule()->dayOfMonth, 20); // from the date

    menu.pickDay(0);
    auto rule = item->recurrenceRule();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->frequency, Frequency::Monthly);
    EXPECT_TRUE(rule->lastDay);
    EXPECT_FALSE(rule->dayOfMonth);
    EXPECT_EQ(menu.daySelection(), 0);
    EXPECT_EQ(menu.accessibleValue(), QStringLiteral("Monthly on the last day"));

    menu.pickDay(15);
    rule = item->recurrenceRule();
    EXPECT_FALSE(rule->lastDay);
    EXPECT_EQ(rule->dayOfMonth, 15);
    EXPECT_FALSE(rule->month);
    EXPECT_TRUE(rule->weekdays.isEmpty());
    EXPECT_EQ(menu.daySelection(), 15);
}

TEST_F(RepeatMenu, yearlyOnTheTwentyNinthOfFebruary) {
    auto item = open();
    menu.selectFrequency(QStringLiteral("yearly"));
    EXPECT_EQ(item->recurrenceRule()->month, 2); // March, from today
    menu.pickMonth(1);
    menu.pickDay(29);
    const auto rule = item->recurrenceRule();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->frequency, Frequency::Yearly);
    EXPECT_EQ(rule->month, 1);
    EXPECT_EQ(rule->dayOfMonth, 29);
    EXPECT_FALSE(rule->lastDay);
    EXPECT_EQ(menu.monthNames().at(menu.month()), QStringLiteral("Feb"));
}

TEST_F(RepeatMenu, theEditorOpensOnTheStoredRuleAndSwitchingFrequencyKeepsTheRest) {
    RecurrenceRule stored = weekly({6, 2});
    auto item = open(at(2024, 3, 20), stored);
    EXPECT_EQ(menu.frequency(), QStringLiteral("weekly"));
    EXPECT_EQ(menu.weekdays(), (QList<int>{2, 6}));
    // Storing the rule moved the to-do to its first day, today (a Saturday): the fields the
    // rule lacks come from that date.
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 9));
    EXPECT_EQ(menu.dayOfMonth(), 9);
    EXPECT_EQ(menu.month(), 2);

    menu.selectFrequency(QStringLiteral("monthly"));
    menu.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(item->recurrenceRule(), weekly({2, 6}));

    menu.selectFrequency(QStringLiteral("daily"));
    RecurrenceRule daily;
    EXPECT_EQ(item->recurrenceRule(), daily);
    EXPECT_EQ(menu.accessibleValue(), QStringLiteral("Every day"));

    QSignalSpy ruleChanged(&menu, &RepeatMenuModel::displayChanged);
    menu.selectFrequency(QString());
    EXPECT_FALSE(item->recurrenceRule());
    EXPECT_FALSE(menu.isRepeating());
    EXPECT_EQ(menu.accessibleValue(), QStringLiteral("Off"));
    EXPECT_GE(ruleChanged.size(), 1);
    EXPECT_FALSE(undoCenter.hasPending()); // rule changes offer no undo
}

TEST_F(RepeatMenu, aMonthlyRuleWithoutWeekdaysStartsWeeklyOnToday) {
    RecurrenceRule monthly;
    monthly.frequency = Frequency::Monthly;
    monthly.dayOfMonth = 3;
    auto item = open(at(2024, 3, 15), monthly);
    EXPECT_EQ(menu.daySelection(), 3);
    menu.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(item->recurrenceRule(), weekly({6})); // Saturday, today
}

TEST_F(RepeatMenu, theCalendarNamesTheChipsAndMonths) {
    EXPECT_EQ(menu.weekdaySymbols(), (QStringList{"S", "M", "T", "W", "T", "F", "S"}));
    EXPECT_EQ(menu.monthNames().size(), 12);
    EXPECT_EQ(menu.monthNames().first(), QStringLiteral("Jan"));
}
