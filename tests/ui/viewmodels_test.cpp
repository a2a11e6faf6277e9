// The application-wide completion queue and what a main window remembers, over a real store.
#include "appfixture.h"
#include "viewmodels/mainwindowstate.h"

using namespace qb;
using namespace std::chrono_literals;

namespace {

class Completion : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        item = store().add(QStringLiteral("water plants"), TodoList::Today);
    }
    CompletionQueue &queue() { return *app->completions(); }
    static int logged(const TodoItem &todo, ChangeKind kind) {
        return int(test::each(todo.changes(), &ChangeEntry::kind).count(kind));
    }

    TodoItemPtr item;
};

class MainWindow : public test::AppFixture {
protected:
    std::unique_ptr<MainWindowState> window(int index = 0) {
        auto state = std::make_unique<MainWindowState>();
        state->setWindowIndex(index);
        wire(*state);
        state->setRouter(&router);
        state->setPreferences(preferences.get());
        return state;
    }
};

} // namespace

TEST_F(Completion, aSecondTapNeitherRestartsNorRepeatsTheWaitAndItOutlivesItsView) {
    // Nothing but the queue holds the record while the delay runs.
    const QUuid id = item->id();
    queue().start(item.get());
    EXPECT_TRUE(queue().isCompleting(id.toString()));
    time.advance(3s);
    queue().start(item.get());
    item.reset();
    time.advance(2s - 1ms);
    EXPECT_TRUE(queue().isCompleting(id));
    time.advance(1ms);
    EXPECT_FALSE(queue().isCompleting(id));
    time.advance(10s);
    const auto stored = otherConnection()->fetch(TodoFetch{}).value();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_TRUE(stored.first()->isCompleted());
    EXPECT_EQ(logged(*find(QStringLiteral("water plants")), ChangeKind::Completed), 1);
}

TEST_F(Completion, aToDoCompletedOrDeletedElsewhereMeanwhileIsLeftAlone) {
    queue().start(item.get());
    store().toggleCompletion(item);
    auto other = store().add(QStringLiteral("call mum"), TodoList::Today);
    queue().start(other.get());
    store().remove(other);
    time.advance(5s);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_EQ(logged(*item, ChangeKind::Reopened), 0);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(MainWindow, eachWindowReopensOnItsOwnPerspectiveOrElseOnTheOpenToChoice) {
    window(0)->setPerspective(QStringLiteral("done"));
    window(1)->setPerspective(QStringLiteral("later"));
    preferences->setOpenTo(OpenTo::Later);
    const QStringList expected{"done", "later", "later"};
    for (int index = 0; index < 3; ++index) {
        auto again = window(index);
        again->restorePerspective();
        EXPECT_EQ(again->perspective(), expected[index]) << index;
    }
}

TEST_F(MainWindow, openingAToDoShowsItSelectedWhereItLivesAndAnUnknownIdChangesNothing) {
    const auto overdue = store().add(QStringLiteral("overdue"), at(2024, 3, 1));
    const auto tonight = store().add(QStringLiteral("tonight"), at(2024, 3, 9, 23, 59));
    const auto tomorrow = store().add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    const auto finished = store().add(QStringLiteral("finished"), TodoList::Today);
    store().toggleCompletion(finished);

    auto state = window();
    const std::pair<TodoItemPtr, const char *> cases[] = {
        {overdue, "today"}, {tomorrow, "later"}, {tonight, "today"}, {finished, "done"}};
    for (const auto &[item, perspective] : cases) {
        state->setSearchQuery(QStringLiteral("milk"));
        // Upper case and braces, as other programs may write the id.
        EXPECT_TRUE(state->openTodo(item->id().toString().toUpper()));
        EXPECT_EQ(state->perspective(), QLatin1String(perspective));
        EXPECT_EQ(state->selectedTodo(), item.get());
        EXPECT_FALSE(state->searching());
    }
    // Another perspective chosen shows no selection.
    state->setPerspective(QStringLiteral("today"));
    EXPECT_EQ(state->selectedTodo(), nullptr);
    ASSERT_TRUE(state->openTodo(finished->id().toString()));
    const QString gone = tonight->id().toString();
    store().remove(tonight);
    for (const QString &id : {gone, QStringLiteral("nonsense"), QString()}) {
        EXPECT_FALSE(state->openTodo(id));
        EXPECT_EQ(state->perspective(), QStringLiteral("done"));
        EXPECT_EQ(state->selectedTodo(), finished.get());
    }

    // A selection deleted meanwhile marks no row, not even its restored copy, while the
    // detail pane says nothing is selected.
    ASSERT_TRUE(state->openTodo(overdue->id().toString()));
    const auto snapshot = store().remove(overdue);
    ASSERT_TRUE(snapshot);
    EXPECT_FALSE(state->hasLiveSelection());
    EXPECT_TRUE(state->selectedTodoId().isEmpty());
    store().restore(*snapshot);
    EXPECT_FALSE(state->hasLiveSelection());
    EXPECT_TRUE(state->selectedTodoId().isEmpty());
}
