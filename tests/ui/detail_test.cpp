// The detail pane's drafts and commits, its subtask rows and its When and Repeat editors, over
// a real store. The fixture's clock stands at 15:00 on Saturday 9 March 2024 in New York.
#include "appfixture.h"
#include "detail/repeatmenumodel.h"
#include "detail/subtaskrowcontroller.h"
#include "detail/taskdetailcontroller.h"
#include "detail/whenmenumodel.h"

using namespace qb;
using namespace std::chrono_literals;

namespace {

class Detail : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        item = store().add(QStringLiteral("Plan trip"), TodoList::Today);
        wire(pane);
        pane.setTimer(time.makeTimer());
        pane.setTodo(item.get());
    }

    QStringList subtaskTitles() const {
        return test::each(item->orderedSubtasks(), &Subtask::title);
    }
    // A row as the pane's list would make it for a subtask.
    std::unique_ptr<SubtaskRowController> rowFor(const SubtaskPtr &subtask) {
        auto row = std::make_unique<SubtaskRowController>();
        wire(*row);
        row->setPane(&pane);
        row->setTimer(time.makeTimer());
        row->setSubtask(subtask.get());
        return row;
    }

    TodoItemPtr item;
    TaskDetailController pane;
};

} // namespace

TEST_F(Detail, oneRenameMakesOneEntryAndOneOfferAndAPastedLineBreakCommitsOneLine) {
    pane.setFocusedField(QStringLiteral("title"));
    pane.editTitle(QStringLiteral("Plan the trip"));
    pane.setFocusedField(QStringLiteral("notes")); // click into the notes
    EXPECT_EQ(item->title(), QStringLiteral("Plan the trip"));
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Renamed"));

    undoCenter.dismiss();
    const auto entries = item->changes().size();
    pane.setFocusedField(QStringLiteral("title"));
    pane.setFocusedField(QStringLiteral("notes"));
    EXPECT_EQ(item->changes().size(), entries);
    EXPECT_FALSE(undoCenter.hasPending());

    pane.setFocusedField(QStringLiteral("title"));
    pane.editTitle(QStringLiteral("  Book\nflights  "));
    EXPECT_EQ(item->title(), QStringLiteral("Book flights"));
    EXPECT_TRUE(pane.focusedField().isEmpty());
    EXPECT_EQ(item->changes().size(), entries + 1);

    // Undone from the toast, the field shows the stored title again.
    undoCenter.usePending();
    EXPECT_EQ(pane.titleDraft(), QStringLiteral("Plan the trip"));
}

TEST_F(Detail, aSubtaskMovedOntoItsOwnPlaceStoresNothingAndAMoveIsOneSave) {
    for (const char *title : {"a", "b", "c"})
        store().addSubtask(item, QString::fromLatin1(title));
    QSignalSpy saves(&context(), &ModelContext::didSave);
    for (const auto &[from, to] : {std::pair{1, 1}, {1, 2}, {0, 0}, {5, 0}, {-1, 0}})
        pane.moveSubtask(from, to);
    EXPECT_EQ(saves.count(), 0);
    pane.moveSubtask(0, 3); // dropped below the last row
    EXPECT_EQ(subtaskTitles(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(saves.count(), 1);
}

TEST_F(Detail, returnInTheMiddleOfASubtaskSplitsItAfterTheCursor) {
    auto subtask = store().addSubtask(item, QStringLiteral("buy bread"));
    store().addSubtask(item, QStringLiteral("later one"));
    auto row = rowFor(subtask);
    row->setFocused(true);
    row->editDraft(QStringLiteral("buy\n  milk and eggs"));
    EXPECT_EQ(subtaskTitles(), (QStringList{"buy", "milk and eggs", "later one"}));
    const auto inserted = item->orderedSubtasks().at(1);
    EXPECT_EQ(pane.focusRequestId(), inserted->id().toString(QUuid::WithoutBraces));
}

// Left empty, the add field closes and a new subtask goes shortly after; a named one never.
TEST_F(Detail, emptyFieldsGoShortlyAfterFocusLeavesButANamedSubtaskNever) {
    pane.setAddSubtaskFocused(true);
    pane.setNewSubtaskDraft(QStringLiteral("first"));
    pane.submitNewSubtask();
    EXPECT_EQ(subtaskTitles(), QStringList{QStringLiteral("first")});
    EXPECT_TRUE(pane.isAddingSubtask());
    pane.setAddSubtaskFocused(false);
    time.advance(TaskDetailController::addFieldCloseDelay);
    EXPECT_FALSE(pane.isAddingSubtask());

    auto blank = store().addSubtask(item, QString());
    auto blankRow = rowFor(blank);
    blankRow->setFocused(true);
    blankRow->returnPressed(); // Return on an empty row leaves it
    EXPECT_FALSE(blankRow->focused());
    time.advance(SubtaskRowController::emptyDeleteDelay);
    EXPECT_FALSE(blank->isInContext());

    auto named = item->orderedSubtasks().first();
    auto namedRow = rowFor(named);
    namedRow->setFocused(true);
    namedRow->editDraft(QString());
    namedRow->setFocused(false);
    time.advance(1s);
    EXPECT_TRUE(named->isInContext());
    EXPECT_EQ(namedRow->draft(), QStringLiteral("first"));
}

// Picking and its undo are the keyboard journey's and the context menu's matter; the label
// also moves on by itself.
TEST_F(Detail, theWhenButtonsLabelFollowsTheDayTurning) {
    WhenMenuModel when;
    wire(when);
    when.setTodo(item.get());
    when.setPresented(true);
    when.pickTomorrow();
    EXPECT_EQ(when.label(), QStringLiteral("Tomorrow"));

    QSignalSpy display(&when, &WhenMenuModel::displayChanged);
    setClock(at(2024, 3, 10, 8));
    app->becameActive();
    EXPECT_EQ(display.count(), 1);
    EXPECT_EQ(when.label(), QStringLiteral("Today"));
}

TEST_F(Detail, theCalendarShowsGregorianDaysAndStaysWithinTheYearsADateCanHave) {
    WhenMenuModel when;
    wire(when);
    const auto open = [&](const QDateTime &date) {
        auto todo = store().add(QStringLiteral("Water plants"), date);
        when.setPresented(false);
        when.setTodo(todo.get());
        when.setPresented(true);
        return todo;
    };
    // Before the Julian switch-over of October 1582 the grid and the stored day agree.
    open(at(1582, 10, 10));
    EXPECT_EQ(std::tuple(when.pickedYear(), when.pickedMonth(), when.pickedDay()),
              std::tuple(1582, 10, 10));
    EXPECT_EQ(when.shownMonthTitle(), QStringLiteral("October 1582"));

    open(at(1, 1, 5));
    when.showPreviousMonth();
    EXPECT_EQ(std::tuple(when.shownYear(), when.shownMonth()), std::tuple(1, 1));
    EXPECT_EQ(when.shownMonthTitle(), QStringLiteral("January 1"));

    auto last = open(at(9999, 12, 31));
    when.showNextMonth();
    EXPECT_EQ(std::tuple(when.shownYear(), when.shownMonth()), std::tuple(9999, 12));
    when.pickDay(10000, 1, 1);
    EXPECT_TRUE(when.isPresented());
    EXPECT_EQ(last->scheduledDate(), at(9999, 12, 31));
}

TEST_F(Detail, theRepeatEditorBuildsEachRuleFromItsFieldsAndKeepsThemAcrossFrequencies) {
    RepeatMenuModel repeat;
    store().schedule(item, at(2024, 3, 15)); // a Friday
    wire(repeat);
    repeat.setTodo(item.get());
    repeat.setPresented(true);
    EXPECT_EQ(repeat.accessibleValue(), QStringLiteral("Off"));

    repeat.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(repeat.weekdays(), QList<int>{5}); // the to-do's weekday, not today's
    repeat.toggleWeekday(1);
    repeat.toggleWeekday(5);
    repeat.toggleWeekday(1); // the last weekday on stays on
    EXPECT_EQ(item->recurrenceRule()->weekdays, QList<int>{1});

    repeat.selectFrequency(QStringLiteral("monthly"));
    repeat.pickDay(0);
    EXPECT_EQ(repeat.accessibleValue(), QStringLiteral("Monthly on the last day"));
    repeat.selectFrequency(QStringLiteral("yearly"));
    repeat.pickMonth(1);
    repeat.pickDay(29);
    const auto yearly = item->recurrenceRule();
    ASSERT_TRUE(yearly);
    EXPECT_EQ(yearly->month, 1);
    EXPECT_EQ(yearly->dayOfMonth, 29);
    EXPECT_FALSE(yearly->lastDay);

    repeat.selectFrequency(QStringLiteral("weekly"));
    EXPECT_EQ(item->recurrenceRule()->weekdays, QList<int>{1});
    repeat.selectFrequency(QString());
    EXPECT_FALSE(item->recurrenceRule());
    EXPECT_FALSE(undoCenter.hasPending()); // rule changes offer no undo
}
