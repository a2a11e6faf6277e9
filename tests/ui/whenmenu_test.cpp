#include "appfixture.h"
#include "detail/whenmenumodel.h"

using namespace qb;

namespace {

// The fixture's clock stands at 15:00 on Saturday 9 March 2024 in New York.
class WhenMenu : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        menu.setApp(app.get());
    }

    TodoItemPtr todoOn(const QDateTime &date) {
        auto item = date.isValid() ? store().add(QStringLiteral("Water plants"), date)
                                   : store().add(QStringLiteral("Water plants"), TodoList::Later);
        menu.setTodo(item.get());
        return item;
    }
    QDateTime day(int d, int m = 3) const { return at(2024, m, d); }

    WhenMenuModel menu;
};

} // namespace

TEST_F(WhenMenu, labelsAndSelectedOptionFollowTheScheduledDay) {
    auto item = todoOn({});
    EXPECT_EQ(menu.label(), QStringLiteral("Someday"));
    EXPECT_EQ(menu.selectedOption(), QStringLiteral("later"));

    store().schedule(item, day(9));
    EXPECT_EQ(menu.label(), QStringLiteral("Today"));
    EXPECT_EQ(menu.selectedOption(), QStringLiteral("today"));

    // The tenth is 23 hours long in New York; tomorrow is still the tenth.
    store().schedule(item, day(10));
    EXPECT_EQ(menu.label(), QStringLiteral("Tomorrow"));
    EXPECT_EQ(menu.selectedOption(), QStringLiteral("tomorrow"));

    store().schedule(item, day(8));
    EXPECT_EQ(menu.label(), QStringLiteral("Yesterday"));
    EXPECT_TRUE(menu.selectedOption().isEmpty());

    store().schedule(item, day(16));
    EXPECT_EQ(menu.label(), QStringLiteral("3/16"));
    EXPECT_TRUE(menu.selectedOption().isEmpty());
}

TEST_F(WhenMenu, theLabelIsReadAgainWhenTheDayTurnsAndTheAppComesBack) {
    todoOn(day(10));
    QSignalSpy changed(&menu, &WhenMenuModel::displayChanged);
    setClock(at(2024, 3, 10, 9));
    app->becameActive();
    EXPECT_GE(changed.size(), 1);
    EXPECT_EQ(menu.label(), QStringLiteral("Today"));
    EXPECT_EQ(menu.selectedOption(), QStringLiteral("today"));
}

TEST_F(WhenMenu, openingPutsTheCalendarOnTheScheduledDayOrOnToday) {
    todoOn({});
    menu.setPresented(true);
    EXPECT_TRUE(menu.isPresented());
    EXPECT_EQ(std::tuple(menu.pickedYear(), menu.pickedMonth(), menu.pickedDay()),
              std::tuple(2024, 3, 9));
    EXPECT_EQ(menu.shownMonthTitle(), QStringLiteral("March 2024"));
    EXPECT_TRUE(menu.isToday(2024, 3, 9));
    EXPECT_FALSE(menu.isToday(2024, 3, 10));

    // Browsing months away, closing, and opening on another to-do starts over on its day.
    menu.showNextMonth();
    menu.setPresented(false);
    todoOn(at(2024, 12, 31, 0));
    menu.setPresented(true);
    EXPECT_EQ(std::tuple(menu.pickedYear(), menu.pickedMonth(), menu.pickedDay()),
              std::tuple(2024, 12, 31));
    menu.showNextMonth();
    EXPECT_EQ(std::tuple(menu.shownYear(), menu.shownMonth()), std::tuple(2025, 1));
    EXPECT_EQ(menu.shownMonthTitle(), QStringLiteral("January 2025"));
    menu.showPreviousMonth();
    menu.showPreviousMonth();
    EXPECT_EQ(std::tuple(menu.shownYear(), menu.shownMonth()), std::tuple(2024, 11));
}

TEST_F(WhenMenu, eachQuickOptionClosesSchedulesAndOffersItsUndo) {
    auto item = todoOn({});
    menu.setPresented(true);
    menu.pickTomorrow();
    EXPECT_FALSE(menu.isPresented());
    EXPECT_EQ(item->scheduledDate(), day(10));
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Scheduled for Tomorrow"));

    menu.setPresented(true);
    menu.pickToday();
    EXPECT_EQ(item->scheduledDate(), day(9));
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Scheduled for Today"));

    // Later passes no date at all, and its undo puts the day back.
    menu.pickLater();
    EXPECT_FALSE(item->scheduledDate().isValid());
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Moved to Later"));
    undoCenter.usePending();
    EXPECT_EQ(item->scheduledDate(), day(9));
    EXPECT_EQ(menu.selectedOption(), QStringLiteral("today"));
}

TEST_F(WhenMenu, choosingTheDayTheTodoAlreadyHasOffersNothing) {
    auto item = todoOn(day(9));
    const auto entries = item->changes().size();
    menu.setPresented(true);
    menu.pickToday();
    EXPECT_FALSE(menu.isPresented());
    EXPECT_FALSE(undoCenter.hasPending());
    EXPECT_EQ(item->changes().size(), entries);
}

TEST_F(WhenMenu, aCalendarDayIsScheduledAtItsStartAndOnlyAChangedSelectionPicks) {
    auto item = todoOn(day(9));
    menu.setPresented(true);
    menu.pickDay(2024, 3, 9); // the initial selection: not a pick
    EXPECT_TRUE(menu.isPresented());

    menu.pickDay(2024, 3, 20);
    EXPECT_FALSE(menu.isPresented());
    EXPECT_EQ(item->scheduledDate(), day(20));
    EXPECT_EQ(menu.label(), QStringLiteral("3/20"));
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Scheduled for Wed, Mar 20"));
    undoCenter.usePending();
    EXPECT_EQ(item->scheduledDate(), day(9));

    menu.setPresented(true);
    menu.pickDay(2023, 2, 29); // no such day
    EXPECT_TRUE(menu.isPresented());
    EXPECT_EQ(item->scheduledDate(), day(9));
}

TEST_F(WhenMenu, theCalendarShowsGregorianDaysAndStaysWithinTheYearsADateCanHave) {
    // Before the Julian switch-over of October 1582 the grid and the stored day agree.
    todoOn(at(1582, 10, 10));
    menu.setPresented(true);
    EXPECT_EQ(std::tuple(menu.pickedYear(), menu.pickedMonth(), menu.pickedDay()),
              std::tuple(1582, 10, 10));
    EXPECT_EQ(menu.shownMonthTitle(), QStringLiteral("October 1582"));
    menu.setPresented(false);

    todoOn(at(1, 1, 5));
    menu.setPresented(true);
    menu.showPreviousMonth();
    EXPECT_EQ(std::tuple(menu.shownYear(), menu.shownMonth()), std::tuple(1, 1));
    EXPECT_EQ(menu.shownMonthTitle(), QStringLiteral("January 1"));
    menu.setPresented(false);

    auto last = todoOn(at(9999, 12, 31));
    menu.setPresented(true);
    menu.showNextMonth();
    EXPECT_EQ(std::tuple(menu.shownYear(), menu.shownMonth()), std::tuple(9999, 12));
    menu.pickDay(10000, 1, 1);
    EXPECT_TRUE(menu.isPresented());
    EXPECT_EQ(last->scheduledDate(), at(9999, 12, 31));
}

TEST_F(WhenMenu, aDeletedTodoIsLeftAloneByAPick) {
    auto item = todoOn(day(9));
    store().remove(item);
    undoCenter.dismiss();
    menu.pickLater();
    EXPECT_EQ(item->scheduledDate(), day(9));
    EXPECT_FALSE(undoCenter.hasPending());
}
