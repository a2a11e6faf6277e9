#include "faultvfs.h"
#include "model/stockqueries.h"
#include "taskfixture.h"

#include <sqlite3.h>

using namespace qb;
using qb::test::each;
using qb::test::TaskFixture;

using Adding = TaskFixture;

TEST_F(Adding, numbersEachGroupFromOneCountingOverdueButNotCompletedToDos) {
    auto store = this->store();
    auto a = store.add(QStringLiteral("a"), TodoList::Today);
    auto b = store.add(QStringLiteral("b"), TodoList::Today);
    auto c = store.add(QStringLiteral("c"), TodoList::Today);
    EXPECT_EQ(each(QList{a, b, c}, &TodoItem::sortOrder), (QList<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(store.add(QStringLiteral("later"), TodoList::Later)->sortOrder(), 1.0);

    store.reorder({a, b, c}, {2}, 0);
    EXPECT_EQ(each(QList{c, a, b}, &TodoItem::sortOrder), (QList<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(store.add(QStringLiteral("d"), TodoList::Today)->sortOrder(), 3.0);

    // Overdue to-dos share today's group; completed ones are in no group.
    store.add(QStringLiteral("overdue"), at(2024, 3, 8))->setSortOrder(7);
    auto done = store.add(QStringLiteral("done"), TodoList::Today);
    done->setSortOrder(50);
    store.toggleCompletion(done);
    EXPECT_EQ(store.add(QStringLiteral("today"), TodoList::Today)->sortOrder(), 8.0);
    EXPECT_EQ(store.add(QStringLiteral("upcoming"), at(2024, 3, 12))->sortOrder(), 1.0);
}

TEST_F(Adding, todayGetsTheStartOfTodayAndLogsCreated) {
    auto item = store().add(QStringLiteral("  Buy milk \n"), TodoList::Today);
    EXPECT_EQ(item->title(), QStringLiteral("Buy milk"));
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 9));
    EXPECT_EQ(item->listRaw(), QStringLiteral("today"));
    EXPECT_EQ(item->createdAt(), clockNow());
    ASSERT_EQ(item->changes().size(), 1);
    EXPECT_EQ(item->changes().first()->kind(), ChangeKind::Created);
    EXPECT_TRUE(item->changes().first()->detail().isNull());
    EXPECT_FALSE(context().hasChanges());
    // A date records Today and no date Later, whatever the day.
    EXPECT_EQ(store().add(QStringLiteral("next week"), at(2024, 3, 16))->listRaw(),
              QStringLiteral("today"));
    EXPECT_EQ(store().add(QString(), QDateTime())->listRaw(), QStringLiteral("later"));
}

using Renaming = TaskFixture;

TEST_F(Renaming, logsOldAndNewTitleWithUntitledForEmptyOnes) {
    auto item = store().add(QString(), TodoList::Today);
    auto edit = store().setTitle(item, QStringLiteral(" Named "));
    ASSERT_TRUE(edit.has_value());
    const auto &titleEdit = std::get<TitleEdit>(*edit);
    EXPECT_EQ(titleEdit.previous, QString());
    EXPECT_EQ(titleEdit.item, item);
    EXPECT_EQ(titleEdit.entry->kind(), ChangeKind::TitleEdited);
    EXPECT_EQ(titleEdit.entry->detail(), QStringLiteral("Untitled → Named"));
    EXPECT_EQ(item->title(), QStringLiteral("Named"));

    // The same title with surrounding whitespace is no change, and asks for no refresh.
    const int reloads = host.reloads;
    EXPECT_FALSE(store().setTitle(item, QStringLiteral("  Named \n")).has_value());
    EXPECT_EQ(host.reloads, reloads);

    advanceClock(60);
    store().setTitle(item, QStringLiteral("   "));
    EXPECT_EQ(item->title(), QString());
    EXPECT_EQ(item->orderedChanges().first()->detail(), QStringLiteral("Named → Untitled"));
    EXPECT_EQ(item->changes().size(), 3);
}

using EditingNotes = TaskFixture;

TEST_F(EditingNotes, notesAreStoredAsTypedAndTrailingSpacesAreAChange) {
    auto item = store().add(QStringLiteral("n"), TodoList::Today);
    ASSERT_TRUE(store().setNotes(item, QStringLiteral("line\n")).has_value());
    auto edit = store().setNotes(item, QStringLiteral("line\n  "));
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(std::get<NotesEdit>(*edit).previous, QStringLiteral("line\n"));
    EXPECT_EQ(item->notes(), QStringLiteral("line\n  "));
    EXPECT_FALSE(store().setNotes(item, QStringLiteral("line\n  ")).has_value());
    EXPECT_EQ(
        each(item->changes(), &ChangeEntry::kind),
        (QList<ChangeKind>{ChangeKind::Created, ChangeKind::NotesEdited, ChangeKind::NotesEdited}));
    EXPECT_TRUE(item->orderedChanges().first()->detail().isNull());
}

using Scheduling = TaskFixture;

// A day is stored as its start, and clearing it or moving to Later logs DateCleared; either
// puts the to-do at the bottom of its new group.
TEST_F(Scheduling, storesTheStartOfTheDayOrNoneAtTheBottomOfItsGroupAndLogsIt) {
    auto store = this->store();
    store.add(QStringLiteral("already tomorrow"), at(2024, 3, 10));
    store.add(QStringLiteral("undated"), TodoList::Later);
    auto item = store.add(QStringLiteral("s"), TodoList::Today);
    auto edit = store.schedule(item, at(2024, 3, 10, 18, 45));
    ASSERT_TRUE(edit.has_value());
    const auto &scheduleEdit = std::get<ScheduleEdit>(*edit);
    EXPECT_EQ(scheduleEdit.previousDate, at(2024, 3, 9));
    EXPECT_EQ(scheduleEdit.previousSort, 1.0);
    // Midnight in New York even though this day is only 23 hours long.
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 10));
    EXPECT_EQ(item->sortOrder(), 2.0);
    EXPECT_EQ(scheduleEdit.entry->kind(), ChangeKind::Scheduled);
    EXPECT_EQ(scheduleEdit.entry->detail(), QStringLiteral("Tomorrow"));
    EXPECT_EQ(item->listRaw(), QStringLiteral("today"));

    // Later the same day is no change.
    EXPECT_FALSE(store.schedule(item, at(2024, 3, 10, 15, 30)).has_value());
    EXPECT_EQ(item->changes().size(), 2);

    const auto cleared = store.schedule(item, QDateTime());
    ASSERT_TRUE(cleared.has_value());
    EXPECT_FALSE(item->scheduledDate().isValid());
    EXPECT_EQ(item->sortOrder(), 2.0);
    EXPECT_EQ(std::get<ScheduleEdit>(*cleared).entry->kind(), ChangeKind::DateCleared);
    EXPECT_TRUE(std::get<ScheduleEdit>(*cleared).entry->detail().isNull());

    // Moving to Today gives today's date; moving there again is no change.
    ASSERT_TRUE(store.move(item, TodoList::Today).has_value());
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 9));
    EXPECT_FALSE(store.move(item, TodoList::Today).has_value());
    advanceClock(60);
    store.move(item, TodoList::Later);
    EXPECT_EQ(item->orderedChanges().first()->kind(), ChangeKind::DateCleared);
}

using Repeating = TaskFixture;

// The date moves to the first day the rule wants, today included.
TEST_F(Repeating, aRuleMovesTheDateToTheFirstMatchingDayAndLogsItsDescription) {
    auto item = store().add(QStringLiteral("r"), TodoList::Later);
    RecurrenceRule rule;
    rule.frequency = RecurrenceRule::Frequency::Weekly;
    rule.weekdays = {3, 1}; // Wednesday, Monday; today is a Saturday
    advanceClock(60);
    store().setRepeat(item, rule);
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 11));
    EXPECT_EQ(item->sortOrder(), 1.0);
    EXPECT_EQ(item->orderedChanges().first()->kind(), ChangeKind::RepeatSet);
    EXPECT_EQ(item->orderedChanges().first()->detail(), QStringLiteral("Weekly on Mon, Wed"));

    const auto before = item->changes().size();
    store().setRepeat(item, rule);
    EXPECT_EQ(item->changes().size(), before);

    advanceClock(60);
    store().setRepeat(item, std::nullopt);
    EXPECT_TRUE(item->recurrenceRuleRaw().isNull());
    EXPECT_EQ(item->orderedChanges().first()->kind(), ChangeKind::RepeatCleared);
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 11));

    auto daily = store().add(QStringLiteral("d"), at(2024, 3, 20));
    store().setRepeat(daily, RecurrenceRule{});
    EXPECT_EQ(daily->scheduledDate(), at(2024, 3, 9));
}

TEST(ListMove, movedRowsKeepTheirOrderAndLandBeforeTheDestination) {
    EXPECT_EQ(TaskStore::movedOrder(4, {0}, 2), (QList<int>{1, 0, 2, 3}));
    EXPECT_EQ(TaskStore::movedOrder(4, {3}, 0), (QList<int>{3, 0, 1, 2}));
    EXPECT_EQ(TaskStore::movedOrder(4, {0, 2}, 4), (QList<int>{1, 3, 0, 2}));
    EXPECT_EQ(TaskStore::movedOrder(4, {1}, 1), (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(TaskStore::movedOrder(3, {7, -1}, 9), (QList<int>{0, 1, 2}));
}

using Subtasks = TaskFixture;

TEST_F(Subtasks, addingUsesTheNextOrderOrTheMidpointAndEditsAreSavedUnlogged) {
    auto store = this->store();
    auto item = store.add(QStringLiteral("p"), TodoList::Today);
    auto first = store.addSubtask(item, QStringLiteral(" one "));
    auto second = store.addSubtask(item, QStringLiteral("two"));
    auto third = store.addSubtask(item, QStringLiteral("three"));
    EXPECT_EQ(first->title(), QStringLiteral("one"));
    EXPECT_EQ(first->sortOrder(), 1.0);
    EXPECT_EQ(third->sortOrder(), 3.0);
    EXPECT_EQ(first->parent(), item);

    EXPECT_EQ(store.insertSubtask(QStringLiteral("between"), first, item)->sortOrder(), 1.5);
    EXPECT_EQ(store.insertSubtask(QStringLiteral("end"), third, item)->sortOrder(), 4.0);
    auto stranger = std::make_shared<Subtask>(QStringLiteral("elsewhere"), 99, clockNow());
    EXPECT_EQ(store.insertSubtask(QStringLiteral("unknown"), stranger, item)->sortOrder(), 5.0);
    EXPECT_EQ(store.insertSubtask(QStringLiteral("none"), nullptr, item)->sortOrder(), 6.0);
    // Nothing about subtasks is logged.
    EXPECT_EQ(item->changes().size(), 1);
    EXPECT_FALSE(context().hasChanges());

    // Renaming, ticking, reordering and deleting, on a to-do of their own.
    auto other = store.add(QStringLiteral("q"), TodoList::Today);
    auto a = store.addSubtask(other, QStringLiteral("a"));
    auto b = store.addSubtask(other, QStringLiteral("b"));
    auto c = store.addSubtask(other, QStringLiteral("c"));
    // Blank and unchanged titles are refused.
    EXPECT_FALSE(store.renameSubtask(a, QStringLiteral("  \n")));
    EXPECT_FALSE(store.renameSubtask(a, QStringLiteral(" a ")));
    EXPECT_TRUE(store.renameSubtask(c, QStringLiteral("c2")));
    EXPECT_EQ(c->title(), QStringLiteral("c2"));
    store.toggleSubtask(b);
    EXPECT_TRUE(b->isCompleted());
    EXPECT_EQ(other->subtaskProgress(), std::make_pair(1, 3));

    store.reorderSubtasks({c, a, b});
    EXPECT_EQ(c->sortOrder(), 0.0);
    EXPECT_EQ(b->sortOrder(), 2.0);

    store.deleteSubtask(a);
    EXPECT_FALSE(a->isInContext());
    EXPECT_EQ(other->orderedSubtasks(), (QList<SubtaskPtr>{c, b}));
    EXPECT_EQ(other->changes().size(), 1);
    EXPECT_FALSE(context().hasChanges());
}

using GoneRecords = TaskFixture;

TEST_F(GoneRecords, operationsOnADeletedToDoDoNothing) {
    auto store = this->store();
    auto item = store.add(QStringLiteral("gone"), TodoList::Today);
    auto subtask = store.addSubtask(item, QStringLiteral("line"));
    ASSERT_TRUE(store.remove(item).has_value());
    const int reloads = host.reloads;

    EXPECT_FALSE(store.setTitle(item, QStringLiteral("new")).has_value());
    EXPECT_FALSE(store.setNotes(item, QStringLiteral("new")).has_value());
    EXPECT_FALSE(store.schedule(item, at(2024, 3, 20)).has_value());
    store.setRepeat(item, RecurrenceRule{});
    store.toggleCompletion(item);
    EXPECT_EQ(store.addSubtask(item, QStringLiteral("x")), nullptr);
    EXPECT_FALSE(store.renameSubtask(subtask, QStringLiteral("y")));
    store.toggleSubtask(subtask);
    EXPECT_FALSE(store.remove(item).has_value());

    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(host.reloads, reloads);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);
}

using SaveFailures = TaskFixture;

// Keeping the change is the context's; the refresh waits for a save that succeeds.
TEST_F(SaveFailures, aFailedSaveSkipsTheRefreshUntilTheNextSaveSucceeds) {
    auto item = store().add(QStringLiteral("before"), TodoList::Today);
    EXPECT_EQ(host.reloads, 1);
    test::faultvfs::failWrite(1, SQLITE_FULL, true);

    auto edit = store().setTitle(item, QStringLiteral("after"));
    EXPECT_TRUE(edit.has_value());
    EXPECT_EQ(item->title(), QStringLiteral("after"));
    EXPECT_EQ(host.reloads, 1);
    EXPECT_TRUE(context().hasChanges());

    test::faultvfs::disarm();
    store().setNotes(item, QStringLiteral("notes"));
    EXPECT_EQ(host.reloads, 2);
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(SaveFailures, savingAtQuitRetriesWhatAFailedSaveLeft) {
    test::faultvfs::failWrite(1, SQLITE_FULL, true);
    store().add(QStringLiteral("unsaved"), TodoList::Today);
    EXPECT_EQ(host.reloads, 0);
    test::faultvfs::disarm();
    store().saveUnsavedChanges();
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(host.reloads, 1);
    store().saveUnsavedChanges();
    EXPECT_EQ(host.reloads, 1);
}
