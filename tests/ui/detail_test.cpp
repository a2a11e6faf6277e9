#include "appfixture.h"
#include "detail/subtasklistmodel.h"
#include "detail/subtaskrowcontroller.h"
#include "detail/taskdetailcontroller.h"

#include <QAbstractItemModelTester>

using namespace qb;
using namespace std::chrono_literals;

namespace {

class Detail : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        item = store().add(QStringLiteral("Plan trip"), TodoList::Today);
        pane.setApp(app.get());
        pane.setTimer(time.makeTimer());
        pane.setTodo(item.get());
    }

    QList<ChangeKind> kinds() const {
        QList<ChangeKind> result;
        for (const auto &entry : item->orderedChanges())
            result.append(entry->kind());
        return result;
    }
    QStringList subtaskTitles() const {
        QStringList result;
        for (const auto &subtask : item->orderedSubtasks())
            result.append(subtask->title());
        return result;
    }

    // A row as the pane's list would make it for a subtask.
    std::unique_ptr<SubtaskRowController> rowFor(const SubtaskPtr &subtask) {
        auto row = std::make_unique<SubtaskRowController>();
        row->setApp(app.get());
        row->setPane(&pane);
        row->setTimer(time.makeTimer());
        row->setSubtask(subtask.get());
        return row;
    }

    TodoItemPtr item;
    TaskDetailController pane;
};

} // namespace

TEST_F(Detail, oneRenameMakesOneEntryAndOneOfferAndRefocusingPostsNothing) {
    advanceClock(60);
    pane.setFocusedField(QStringLiteral("title"));
    pane.editTitle(QStringLiteral("Plan the trip"));
    pane.setFocusedField(QStringLiteral("notes")); // click into the notes
    EXPECT_EQ(item->title(), QStringLiteral("Plan the trip"));
    EXPECT_EQ(kinds().first(), ChangeKind::TitleEdited);
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Renamed"));

    undoCenter.dismiss();
    const auto entries = item->changes().size();
    pane.setFocusedField(QStringLiteral("title"));
    pane.setFocusedField(QStringLiteral("notes"));
    EXPECT_EQ(item->changes().size(), entries);
    EXPECT_FALSE(undoCenter.hasPending());
}

TEST_F(Detail, aPastedTwoLineTitleIsJoinedTrimmedAndCommitted) {
    pane.setFocusedField(QStringLiteral("title"));
    pane.editTitle(QStringLiteral("  Book\nflights  "));
    EXPECT_EQ(item->title(), QStringLiteral("Book flights"));
    EXPECT_EQ(pane.titleDraft(), QStringLiteral("Book flights"));
    EXPECT_TRUE(pane.focusedField().isEmpty());
    EXPECT_EQ(item->changes().size(), 2); // created, renamed once
}

TEST_F(Detail, undoingARenameFromTheToastShowsTheOldTitleInTheField) {
    pane.editTitle(QStringLiteral("Renamed trip"));
    pane.commitTitle();
    ASSERT_EQ(pane.titleDraft(), QStringLiteral("Renamed trip"));
    undoCenter.usePending();
    EXPECT_EQ(item->title(), QStringLiteral("Plan trip"));
    EXPECT_EQ(pane.titleDraft(), QStringLiteral("Plan trip"));
}

TEST_F(Detail, notesAreCommittedOnATabChangeWithTheirOwnOffer) {
    pane.setNotesDraft(QStringLiteral("Passport!"));
    pane.selectTab(QStringLiteral("log"));
    EXPECT_EQ(item->notes(), QStringLiteral("Passport!"));
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Notes edited"));
}

TEST_F(Detail, leavingTheSubtasksTabAddsTheTypedSubtaskAndEndsAdding) {
    store().addSubtask(item, QStringLiteral("existing"));
    pane.setNewSubtaskDraft(QStringLiteral("  typed  "));
    pane.selectTab(QStringLiteral("notes"));
    EXPECT_EQ(subtaskTitles(), (QStringList{QStringLiteral("existing"), QStringLiteral("typed")}));
    EXPECT_FALSE(pane.isAddingSubtask());
    EXPECT_TRUE(pane.newSubtaskDraft().isEmpty());
}

TEST_F(Detail, returnInTheAddFieldKeepsItOpenAndAnEmptyReturnCloses) {
    pane.setAddSubtaskFocused(true);
    pane.setNewSubtaskDraft(QStringLiteral("first"));
    pane.submitNewSubtask();
    EXPECT_EQ(subtaskTitles(), QStringList{QStringLiteral("first")});
    EXPECT_TRUE(pane.isAddingSubtask());
    EXPECT_TRUE(pane.addSubtaskFocused());

    pane.submitNewSubtask(); // empty
    EXPECT_EQ(item->subtasks().size(), 1);
    EXPECT_FALSE(pane.isAddingSubtask());
}

TEST_F(Detail, leavingAnEmptyAddFieldClosesItAfterAFifthOfASecondUnlessFocusReturns) {
    pane.setAddSubtaskFocused(true);
    pane.setNewSubtaskDraft(QStringLiteral("one"));
    pane.submitNewSubtask();
    pane.setAddSubtaskFocused(false);
    advance(150ms);
    pane.setAddSubtaskFocused(true); // back in time
    advance(100ms);
    EXPECT_TRUE(pane.isAddingSubtask());
    pane.setAddSubtaskFocused(false);
    advance(200ms);
    EXPECT_FALSE(pane.isAddingSubtask());
}

TEST_F(Detail, badgesCountOpenSubtasksAndLogEntries) {
    auto a = store().addSubtask(item, QStringLiteral("a"));
    store().addSubtask(item, QStringLiteral("b"));
    store().addSubtask(item, QStringLiteral("c"));
    store().toggleSubtask(a);
    EXPECT_EQ(pane.openSubtaskCount(), 2);
    for (const auto &subtask : item->subtasks()) {
        if (!subtask->isCompleted())
            store().toggleSubtask(subtask);
    }
    EXPECT_EQ(pane.openSubtaskCount(), 0);
    EXPECT_EQ(pane.changeCount(), 1);
}

TEST_F(Detail, draftsOfAToDoDeletedMeanwhileWriteNothing) {
    pane.setNewSubtaskDraft(QStringLiteral("late"));
    pane.editTitle(QStringLiteral("late title"));
    store().remove(item);
    pane.commitAll();
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(Detail, subtaskModelFollowsAddsTicksAndReorders) {
    SubtaskListModel model;
    QAbstractItemModelTester tester(&model);
    model.setTodo(item.get());
    test::ModelSignals signalsSeen(&model);
    auto a = store().addSubtask(item, QStringLiteral("a"));
    auto b = store().addSubtask(item, QStringLiteral("b"));
    EXPECT_EQ(signalsSeen.inserted.count(), 2);
    pane.moveSubtask(1, 0);
    EXPECT_EQ(model.rows(), (QList<SubtaskPtr>{b, a}));
    EXPECT_EQ(signalsSeen.reset.count(), 0);
}

TEST_F(Detail, changeLogShowsItsCurrentToDoNewestFirst) {
    ChangeLogModel model;
    QAbstractItemModelTester tester(&model);
    QSignalSpy todos(&model, &ChangeLogModel::todoChanged);
    QSignalSpy counts(&model, &ChangeLogModel::countChanged);
    model.setTodo(item.get());
    model.setTodo(item.get());
    EXPECT_EQ(todos.count(), 1);
    EXPECT_EQ(model.countProperty(), 1);

    advanceClock(60);
    store().setNotes(item, QStringLiteral("n"));
    ASSERT_EQ(model.countProperty(), 2);
    EXPECT_EQ(model.rows().first()->kind(), ChangeKind::NotesEdited);
    EXPECT_EQ(model.rows().last()->kind(), ChangeKind::Created);
    EXPECT_EQ(counts.count(), 2);

    auto other = store().add(QStringLiteral("Other"), TodoList::Today);
    model.setTodo(other.get());
    EXPECT_EQ(model.rows(), other->orderedChanges());
    EXPECT_EQ(counts.count(), 3);

    model.setTodo(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(todos.count(), 3);
}

TEST_F(Detail, movingASubtaskRenumbersAllInOneSave) {
    auto a = store().addSubtask(item, QStringLiteral("a"));
    auto b = store().addSubtask(item, QStringLiteral("b"));
    auto c = store().addSubtask(item, QStringLiteral("c"));
    QSignalSpy saves(&context(), &ModelContext::didSave);

    pane.moveSubtask(0, 3); // dropped below the last row
    EXPECT_EQ(subtaskTitles(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(saves.count(), 1);
    EXPECT_EQ((QList<double>{b->sortOrder(), c->sortOrder(), a->sortOrder()}),
              (QList<double>{0, 1, 2}));

    pane.moveSubtask(2, 1); // "a" dragged up between "b" and "c"
    EXPECT_EQ(subtaskTitles(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(saves.count(), 2);
}

TEST_F(Detail, aSubtaskDroppedOnItsOwnPlaceStoresNothing) {
    auto a = store().addSubtask(item, QStringLiteral("a"));
    auto b = store().addSubtask(item, QStringLiteral("b"));
    QSignalSpy saves(&context(), &ModelContext::didSave);
    // Above itself, below itself, and rows that are not there.
    for (const auto &[from, to] : {std::pair{1, 1}, {1, 2}, {0, 0}, {0, 1}, {5, 0}, {-1, 0}})
        pane.moveSubtask(from, to);
    EXPECT_EQ(saves.count(), 0);
    EXPECT_EQ(a->sortOrder(), 1.0); // as added, never renumbered
    EXPECT_EQ(b->sortOrder(), 2.0);
}

TEST_F(Detail, returnInTheMiddleOfASubtaskSplitsItAfterTheCursor) {
    auto subtask = store().addSubtask(item, QStringLiteral("buy bread"));
    auto after = store().addSubtask(item, QStringLiteral("later one"));
    auto row = rowFor(subtask);
    row->setFocused(true);
    row->editDraft(QStringLiteral("buy\n  milk and eggs"));
    EXPECT_EQ(subtaskTitles(), (QStringList{QStringLiteral("buy"), QStringLiteral("milk and eggs"),
                                            QStringLiteral("later one")}));
    // The new subtask sits between its neighbours and is asked to take focus.
    const auto inserted = item->orderedSubtasks().at(1);
    EXPECT_EQ(inserted->sortOrder(), 1.5);
    EXPECT_EQ(pane.focusRequestId(), inserted->id().toString(QUuid::WithoutBraces));
}

TEST_F(Detail, anEmptyNewSubtaskIsRemovedAfterFocusLeavesButANamedOneNever) {
    auto blank = store().addSubtask(item, QString());
    auto blankRow = rowFor(blank);
    blankRow->setFocused(true);
    blankRow->setFocused(false);
    advance(100ms);
    EXPECT_TRUE(blank->isInContext());
    advance(100ms);
    EXPECT_FALSE(blank->isInContext());

    auto named = store().addSubtask(item, QStringLiteral("named"));
    auto namedRow = rowFor(named);
    namedRow->setFocused(true);
    namedRow->editDraft(QString());
    namedRow->setFocused(false);
    advance(500ms);
    EXPECT_TRUE(named->isInContext());
    EXPECT_EQ(named->title(), QStringLiteral("named"));
    EXPECT_EQ(namedRow->draft(), QStringLiteral("named"));
}

TEST_F(Detail, returnOnAnEmptySubtaskJustLeavesIt) {
    auto blank = store().addSubtask(item, QString());
    auto row = rowFor(blank);
    row->setFocused(true);
    row->returnPressed();
    EXPECT_FALSE(row->focused());
    EXPECT_EQ(item->subtasks().size(), 1);
    advance(200ms);
    EXPECT_TRUE(item->subtasks().isEmpty());
}
