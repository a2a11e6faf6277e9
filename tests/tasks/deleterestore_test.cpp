#include "crashloop.h"
#include "taskfixture.h"
#include "tasks/todosnapshot.h"

#include <algorithm>

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
    EXPECT_EQ(after, before);

    // Saved: a new session reads the same values back.
    restored.reset();
    item.reset();
    closeStore();
    openStore();
    auto reread = find(QStringLiteral("Fuller"));
    ASSERT_TRUE(reread);
    const auto byId = [](TodoSnapshot snapshot) {
        const auto idOrder = [](const auto &x, const auto &y) { return x.id < y.id; };
        std::sort(snapshot.changes.begin(), snapshot.changes.end(), idOrder);
        std::sort(snapshot.subtasks.begin(), snapshot.subtasks.end(), idOrder);
        return snapshot;
    };
    EXPECT_EQ(byId(TodoSnapshot::of(*reread)), byId(before));
}

TEST_F(DeleteRestore, absentCollectionsComeBackEmptyAndAnUnknownListAsTodayOnce) {
    auto item = addTodo(QStringLiteral("bare"), {}, 3); // as an older build left it: no log
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

    // A list this build does not know comes back as Today; restoring again adds nothing.
    restored->setListRaw(QStringLiteral("someday"));
    const auto odd = store().remove(restored);
    store().restore(*odd);
    store().restore(*odd);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
    EXPECT_EQ(find(QStringLiteral("bare"))->listRaw(), QStringLiteral("today"));
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
