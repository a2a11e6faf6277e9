#include "appfixture.h"
#include "navigation/composer.h"
#include "viewmodels/mainwindowstate.h"

#include <QSettings>

using namespace qb;
using namespace std::chrono_literals;
using qb::test::AppFixture;

namespace {

class MainWindow : public AppFixture {
protected:
    std::unique_ptr<MainWindowState> window(int index = 0) {
        auto state = std::make_unique<MainWindowState>();
        state->setWindowIndex(index);
        state->setApp(app.get());
        return state;
    }
    int storedCount() {
        TodoFetch all;
        return int(context().fetch(all).value().size());
    }
};

TEST_F(MainWindow, eachWindowRemembersItsOwnPerspective) {
    auto first = window(0);
    auto second = window(1);
    EXPECT_EQ(first->perspective(), QStringLiteral("today"));
    first->setPerspective(QStringLiteral("done"));
    second->setPerspective(QStringLiteral("later"));

    // What the next launch reads, through another preferences object on the same file.
    Preferences reread(preferences->filePath());
    EXPECT_EQ(reread.storedPerspectiveRaw(0), QStringLiteral("done"));
    EXPECT_EQ(reread.storedPerspectiveRaw(1), QStringLiteral("later"));

    auto firstAgain = window(0);
    auto secondAgain = window(1);
    auto third = window(2);
    firstAgain->restorePerspective();
    secondAgain->restorePerspective();
    third->restorePerspective();
    EXPECT_EQ(firstAgain->perspective(), QStringLiteral("done"));
    EXPECT_EQ(secondAgain->perspective(), QStringLiteral("later"));
    EXPECT_EQ(third->perspective(), QStringLiteral("today"));
}

TEST_F(MainWindow, aWindowWithNothingStoredOpensOnTheOpenToChoice) {
    preferences->setOpenTo(OpenTo::Later);
    auto fresh = window(3);
    fresh->restorePerspective();
    EXPECT_EQ(fresh->perspective(), QStringLiteral("later"));

    // What a window stored wins over the choice.
    auto used = window(4);
    used->setPerspective(QStringLiteral("done"));
    auto usedAgain = window(4);
    usedAgain->restorePerspective();
    EXPECT_EQ(usedAgain->perspective(), QStringLiteral("done"));

    preferences->setOpenTo(OpenTo::LastUsed);
    auto another = window(5);
    another->restorePerspective();
    EXPECT_EQ(another->perspective(), QStringLiteral("today"));
}

TEST_F(MainWindow, anUnknownStoredPerspectiveOpensToday) {
    auto state = window(0);
    state->setPerspective(QStringLiteral("later"));
    {
        QSettings file(preferences->filePath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("MainWindow1/macPerspective"), QStringLiteral("inbox"));
    }
    preferences->reload();
    state->restorePerspective();
    EXPECT_EQ(state->perspective(), QStringLiteral("today"));

    state->setPerspective(QStringLiteral("Done"));
    EXPECT_EQ(state->perspective(), QStringLiteral("today"));
}

TEST_F(MainWindow, changingThePerspectiveClearsTheSelectionButSearchingKeepsIt) {
    auto item = store().add(QStringLiteral("a"), TodoList::Today);
    auto state = window();
    QSignalSpy selection(state.get(), &MainWindowState::selectedTodoChanged);
    state->navigateTo(item.get());
    EXPECT_EQ(state->selectedTodoId(), item->id().toString(QUuid::WithoutBraces));

    state->setSearchQuery(QStringLiteral("a"));
    EXPECT_TRUE(state->searching());
    state->setPerspective(QStringLiteral("today"));
    EXPECT_EQ(state->selectedTodo(), item.get());

    state->setPerspective(QStringLiteral("later"));
    EXPECT_EQ(state->selectedTodo(), nullptr);
    EXPECT_TRUE(state->selectedTodoId().isEmpty());
    EXPECT_EQ(selection.count(), 2);
}

TEST_F(MainWindow, onlySpacesInTheSearchFieldIsNotSearching) {
    auto state = window();
    state->setSearchQuery(QStringLiteral("  \n"));
    EXPECT_FALSE(state->searching());
    state->setSearchQuery(QStringLiteral(" m "));
    EXPECT_TRUE(state->searching());
}

TEST_F(MainWindow, aDeletedSelectionIsNoLongerLive) {
    auto item = store().add(QStringLiteral("a"), TodoList::Today);
    auto state = window();
    state->navigateTo(item.get());
    EXPECT_TRUE(state->hasLiveSelection());
    QSignalSpy selection(state.get(), &MainWindowState::selectedTodoChanged);
    store().remove(item);
    EXPECT_FALSE(state->hasLiveSelection());
    EXPECT_GE(selection.count(), 1);
}

TEST_F(MainWindow, deleteAsksWithTheTitleThenOffersAnUndoThatRestoresSubtasksAndLog) {
    auto state = window();
    QSignalSpy asked(state.get(), &MainWindowState::deleteRequested);
    const struct {
        QString title;
        bool fromDetail;
        QString message;
    } cases[] = {
        {QStringLiteral("Pay rent"), false,
         QStringLiteral("Pay rent and its change log will be removed.")},
        {QString(), false, QStringLiteral("This to-do and its change log will be removed.")},
        {QStringLiteral("   "), false, QStringLiteral("    and its change log will be removed.")},
        {QStringLiteral("Pay rent"), true,
         QStringLiteral("This to-do, its subtasks, and its change log will be removed.")},
    };
    for (const auto &entry : cases) {
        auto item = store().add(QStringLiteral("x"), TodoList::Today);
        item->setTitle(entry.title);
        asked.clear();
        state->requestDelete(item.get(), entry.fromDetail);
        ASSERT_EQ(asked.count(), 1);
        EXPECT_EQ(asked.first().at(1).toString(), entry.message) << entry.title.toStdString();
        store().remove(item);
    }

    auto item = store().add(QStringLiteral("Pay rent"), TodoList::Today);
    store().addSubtask(item, QStringLiteral("keep me"));
    const QUuid id = item->id();
    state->navigateTo(item.get());
    state->deleteTodo(item.get());
    EXPECT_EQ(storedCount(), 0);
    EXPECT_FALSE(state->hasLiveSelection());
    ASSERT_TRUE(undoCenter.hasPending());
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Deleted “Pay rent”"));
    EXPECT_EQ(undoCenter.systemImage(), QStringLiteral("trash"));
    undoCenter.usePending();
    const auto restored = context().fetch(TodoFetch{}).value();
    ASSERT_EQ(restored.size(), 1);
    EXPECT_EQ(restored.first()->id(), id);
    EXPECT_EQ(restored.first()->subtasks().size(), 1);
    EXPECT_EQ(restored.first()->changes().size(), 1);
}

TEST_F(MainWindow, newToDoOpensTheDraftRowOfTodayOrLater) {
    auto state = window();
    QSignalSpy requested(state.get(), &MainWindowState::draftRequested);
    state->newTodo();
    EXPECT_EQ(state->composer()->addingTo(), TodoList::Today);
    state->setPerspective(QStringLiteral("later"));
    state->newTodo();
    EXPECT_EQ(state->composer()->addingTo(), TodoList::Later);
    EXPECT_EQ(requested.count(), 2);
    EXPECT_EQ(storedCount(), 0);
    EXPECT_FALSE(undoCenter.hasPending());
}

TEST_F(MainWindow, newToDoOnDoneAddsAnEmptyToDoToTodayWithAnOfferToTakeItBack) {
    auto state = window();
    state->setPerspective(QStringLiteral("done"));
    QSignalSpy requested(state.get(), &MainWindowState::draftRequested);
    state->newTodo();

    TodoFetch all;
    const auto added = context().fetch(all).value();
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QString());
    EXPECT_EQ(added.first()->scheduledDate(), at(2024, 3, 9));
    EXPECT_EQ(state->perspective(), QStringLiteral("done"));
    EXPECT_FALSE(state->composer()->addingTo());
    EXPECT_EQ(requested.count(), 0);
    ASSERT_TRUE(undoCenter.hasPending());
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Added to Today"));
    EXPECT_EQ(undoCenter.systemImage(), QStringLiteral("plus.circle"));

    app->undo();
    EXPECT_EQ(storedCount(), 0);
    EXPECT_FALSE(undoCenter.hasPending());
    // Nothing further to take back.
    app->undo();
    EXPECT_EQ(storedCount(), 0);
}

TEST_F(MainWindow, theUndoOfferExpiresAfterFourSeconds) {
    auto state = window();
    state->setPerspective(QStringLiteral("done"));
    state->newTodo();
    advance(3999ms);
    EXPECT_TRUE(undoCenter.hasPending());
    advance(1ms);
    EXPECT_FALSE(undoCenter.hasPending());
    app->undo();
    EXPECT_EQ(storedCount(), 1);
}

TEST_F(MainWindow, aTodayRouteSelectsTodayEndsTheSearchAndIsCleared) {
    auto state = window();
    state->setPerspective(QStringLiteral("done"));
    state->setSearchQuery(QStringLiteral("milk"));
    router.handle(QStringLiteral("quillbrook://today"));
    EXPECT_EQ(state->perspective(), QStringLiteral("today"));
    EXPECT_FALSE(state->searching());
    EXPECT_FALSE(state->composer()->addingTo());
    EXPECT_FALSE(router.pendingRoute());
}

TEST_F(MainWindow, aNewTodayRouteOpensTodaysDraftRowInOneWindowOnly) {
    auto first = window(0);
    auto second = window(1);
    first->setPerspective(QStringLiteral("later"));
    second->setPerspective(QStringLiteral("done"));
    QSignalSpy requested(first.get(), &MainWindowState::draftRequested);
    router.handle(QStringLiteral("quillbrook://new"));
    EXPECT_EQ(first->perspective(), QStringLiteral("today"));
    EXPECT_EQ(first->composer()->addingTo(), TodoList::Today);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_EQ(second->perspective(), QStringLiteral("done"));
    EXPECT_FALSE(second->composer()->addingTo());
    EXPECT_FALSE(router.pendingRoute());
}

TEST_F(MainWindow, aRouteFromTheCommandLineIsFollowedWhenTheWindowOpens) {
    router.handle(QStringLiteral("quillbrook://new"));
    auto state = window();
    state->setPerspective(QStringLiteral("later"));
    state->followRoute();
    EXPECT_EQ(state->perspective(), QStringLiteral("today"));
    EXPECT_EQ(state->composer()->addingTo(), TodoList::Today);
    EXPECT_FALSE(router.pendingRoute());
}

TEST_F(MainWindow, activationMovesTheReferenceDayOnlyWhenTheDayChanged) {
    auto state = window();
    EXPECT_EQ(state->referenceDay(), at(2024, 3, 9));
    QSignalSpy day(state.get(), &MainWindowState::referenceDayChanged);
    advanceClock(3600);
    app->becameActive();
    EXPECT_EQ(day.count(), 0);
    setClock(at(2024, 3, 10, 0, 5));
    app->becameActive();
    EXPECT_EQ(day.count(), 1);
    EXPECT_EQ(state->referenceDay(), at(2024, 3, 10));
}

TEST_F(MainWindow, openingAToDoShowsItSelectedWhereItLives) {
    auto store = this->store();
    const auto overdue = store.add(QStringLiteral("overdue"), at(2024, 3, 1));
    const auto tonight = store.add(QStringLiteral("tonight"), at(2024, 3, 9, 23, 59));
    const auto tomorrow = store.add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    const auto undated = store.add(QStringLiteral("undated"), TodoList::Later);
    const auto finished = store.add(QStringLiteral("finished"), TodoList::Today);
    store.toggleCompletion(finished);
    const auto idOf = [](const TodoItemPtr &item) {
        return item->id().toString(QUuid::WithoutBraces);
    };

    auto state = window();
    state->setSearchQuery(QStringLiteral("milk"));
    QSignalSpy selected(state.get(), &MainWindowState::selectedTodoChanged);
    const struct {
        TodoItemPtr item;
        const char *perspective;
    } cases[] = {{overdue, "today"},
                 {tomorrow, "later"},
                 {tonight, "today"},
                 {undated, "later"},
                 {finished, "done"}};
    for (const auto &c : cases) {
        // Upper case and braces, as other programs may write the id.
        EXPECT_TRUE(state->openTodo(c.item->id().toString().toUpper())) << c.perspective;
        EXPECT_EQ(state->perspective(), QLatin1String(c.perspective))
            << c.item->title().toStdString();
        EXPECT_EQ(state->selectedTodoId(), idOf(c.item));
        EXPECT_FALSE(state->searching());
    }
    EXPECT_GE(selected.count(), 5);
    EXPECT_EQ(Preferences(preferences->filePath()).storedPerspective(0), AppTab::Done);
}

TEST_F(MainWindow, openingAToDoThatIsGoneChangesNothing) {
    const auto kept = store().add(QStringLiteral("kept"), TodoList::Later);
    auto state = window();
    ASSERT_TRUE(state->openTodo(kept->id().toString()));
    const auto gone = store().add(QStringLiteral("gone"), TodoList::Today);
    const QString goneId = gone->id().toString();
    store().remove(gone);
    state->setSearchQuery(QStringLiteral("k"));
    for (const QString &id :
         {goneId, QUuid::createUuid().toString(), QStringLiteral("nonsense"), QString()}) {
        EXPECT_FALSE(state->openTodo(id)) << id.toStdString();
        EXPECT_EQ(state->perspective(), QStringLiteral("later"));
        EXPECT_EQ(state->selectedTodoId(), kept->id().toString(QUuid::WithoutBraces));
        EXPECT_TRUE(state->searching());
    }
}

} // namespace
