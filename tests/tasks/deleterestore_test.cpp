#include "crashloop.h"
#include "taskfixture.h"
#include "tasks/todosnapshot.h"

using namespace qb;
using qb::test::TaskFixture;

using DeleteRestore = TaskFixture;

TEST_F(DeleteRestore, restoreRebuildsEveryFieldSubtaskAndEntryInOrder) {
    auto store = this->store();
    auto item = store.add(QStringLiteral("Full"), at(2024, 3, 12));
    store.setNotes(item, QStringLiteral("notes"));
    advanceClock(5);
    store.setTitle(item, QStringLiteral("Fuller"));
    auto b = store.addSubtask(item, QStringLiteral("b"));
    auto a = store.insertSubtask(QStringLiteral("a"), nullptr, item);
    store.reorderSubtasks({a, b}); // stored order now differs from display order
    store.toggleSubtask(b);
    item->setRecurrenceRuleRaw(QStringLiteral("{\"kept\":\"as is\"}"));
    // A kind this build does not know must come back unchanged.
    auto foreign =
        std::make_shared<ChangeEntry>(ChangeKind::Created, QStringLiteral("x"), clockNow());
    foreign->setKindRaw(QStringLiteral("archivedElsewhere"));
    item->addChange(foreign);
    store.toggleCompletion(item);
    const TodoSnapshot before = TodoSnapshot::of(*item);

    const auto snapshot = store.remove(item);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(*snapshot, before);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);

    store.restore(*snapshot);
    auto restored = find(QStringLiteral("Fuller"));

    ASSERT_TRUE(restored);
    EXPECT_NE(restored, item);
    const TodoSnapshot after = TodoSnapshot::of(*restored);
    EXPECT_EQ(after.id, before.id);
    EXPECT_EQ(after.title, before.title);
    EXPECT_EQ(after.notes, before.notes);
    EXPECT_EQ(after.completedAt, before.completedAt);
    EXPECT_EQ(after.scheduledDate, before.scheduledDate);
    EXPECT_EQ(after.recurrenceRuleRaw, before.recurrenceRuleRaw);
    EXPECT_EQ(after.listRaw, before.listRaw);
    EXPECT_EQ(after.sortOrder, before.sortOrder);
    EXPECT_EQ(after.createdAt, before.createdAt);
    EXPECT_EQ(after.changes, before.changes);
    EXPECT_EQ(after.subtasks, before.subtasks);
    EXPECT_EQ(after, before);

    // Read back from the file, not from memory: the same values in display order.
    const auto displayOrder = [](const TodoItem &todo) {
        TodoSnapshot shown = TodoSnapshot::of(todo);
        shown.changes.clear();
        for (const auto &entry : todo.orderedChanges())
            shown.changes.append(
                {entry->id(), entry->kindRaw(), entry->detail(), entry->timestamp()});
        shown.subtasks.clear();
        for (const auto &subtask : todo.orderedSubtasks())
            shown.subtasks.append({subtask->id(), subtask->title(), subtask->isCompleted(),
                                   subtask->sortOrder(), subtask->createdAt()});
        return shown;
    };
    const TodoSnapshot shownBefore = displayOrder(*restored);
    restored.reset();
    item.reset();
    closeStore();
    openStore();
    auto reread = find(QStringLiteral("Fuller"));
    ASSERT_TRUE(reread);
    const TodoSnapshot shownAfter = displayOrder(*reread);
    EXPECT_EQ(shownAfter.changes, shownBefore.changes);
    EXPECT_EQ(shownAfter.subtasks, shownBefore.subtasks);
    EXPECT_EQ(shownAfter, shownBefore);
    EXPECT_TRUE(reread->isCompleted());
}

TEST_F(DeleteRestore, absentCollectionsComeBackEmptyAndNothingIsLogged) {
    auto item = std::make_shared<TodoItem>(QStringLiteral("bare"), TodoList::Later, QDateTime(), 3,
                                           clockNow());
    context().insert(item);
    context().save();
    const auto snapshot = store().remove(item);
    ASSERT_TRUE(snapshot);
    EXPECT_TRUE(snapshot->changes.isEmpty());
    store().restore(*snapshot);
    auto restored = find(QStringLiteral("bare"));
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->hasSubtaskCollection());
    EXPECT_TRUE(restored->changes().isEmpty());
    EXPECT_EQ(restored->listRaw(), QStringLiteral("later"));
    EXPECT_EQ(restored->sortOrder(), 3.0);
}

TEST_F(DeleteRestore, anUnknownListRestoresAsToday) {
    auto item = store().add(QStringLiteral("odd list"), TodoList::Later);
    item->setListRaw(QStringLiteral("someday"));
    context().save();
    auto snapshot = store().remove(item);
    store().restore(*snapshot);
    EXPECT_EQ(find(QStringLiteral("odd list"))->listRaw(), QStringLiteral("today"));
}

TEST_F(DeleteRestore, restoringTwiceDoesNotDuplicate) {
    auto item = store().add(QStringLiteral("once"), TodoList::Today);
    auto snapshot = store().remove(item);
    store().restore(*snapshot);
    store().restore(*snapshot);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
}

TEST_F(DeleteRestore, deletionCascadesToTheFile) {
    auto item = store().add(QStringLiteral("d"), TodoList::Today);
    store().addSubtask(item, QStringLiteral("s"));
    store().remove(item);
    closeStore();
    openStore();
    auto other = otherConnection();
    EXPECT_EQ(other->count(TodoPredicate::all()).value(), 0);
}

// An import inserts whole to-dos from their snapshots in one save, as the client's import does: a
// power cut at any of its writes, or in the save after it, leaves the import wholly in the store or
// not at all.
TEST(PowerCut, duringAnImportLeavesAllOfItOrNone) {
    const QDateTime moment(QDate(2024, 3, 9), QTime(15, 0), QTimeZone::utc());
    QList<TodoSnapshot> file;
    for (int i = 0; i < 120; ++i) {
        TodoSnapshot todo;
        todo.id = QUuid::createUuid();
        todo.title = QStringLiteral("Imported %1").arg(i);
        todo.notes = QString(i % 7 * 40, u'n');
        todo.listRaw = QStringLiteral("later");
        todo.sortOrder = i;
        todo.createdAt = moment;
        todo.subtasks = {{QUuid::createUuid(), QStringLiteral("step"), i % 2 == 0, 0, moment}};
        todo.changes = {{QUuid::createUuid(), QStringLiteral("created"), QString(), moment}};
        file.append(todo);
    }
    const QList<test::CrashStep> steps = {
        [&](ModelContainer &container) {
            for (const auto &todo : std::as_const(file))
                insertTodo(container.mainContext(), todo);
            return container.mainContext().save().ok();
        },
        [&](ModelContainer &container) {
            container.mainContext().insert(std::make_shared<TodoItem>(
                QStringLiteral("After"), TodoList::Today, moment, 0, moment));
            return container.mainContext().save().ok();
        },
    };
    const int cuts = test::expectEveryCrashRecovers(
        [](const QString &path) {
            ModelContainer::Configuration configuration;
            configuration.path = path;
            ASSERT_TRUE(ModelContainer::open(configuration).ok());
        },
        steps);
    EXPECT_GT(cuts, 30);
}
