#include "faultvfs.h"
#include "model/dayhelpers.h"
#include "model/stockqueries.h"
#include "store/livequery.h"
#include "storefiles.h"
#include "storefixture.h"

#include <QSignalSpy>

#include <functional>

#include <sqlite3.h>

using namespace qb;
using qb::test::each;
using qb::test::only;
using qb::test::StoreFixture;
using qb::test::titlesIn;

using IdentityMap = StoreFixture;

TEST_F(IdentityMap, twoRecordsWithTheSameIdStayDistinct) {
    auto a = addTodo(QStringLiteral("A"));
    auto b = addTodo(QStringLiteral("B"));
    b->setId(a->id());
    ASSERT_TRUE(context().save().ok());
    TodoFetch request;
    request.predicate = TodoPredicate::idEquals(a->id());
    request.sort = {{TodoSort::Field::Title, true}};
    EXPECT_EQ(context().fetch(request).value(), (QList{a, b}));
}

// Read back from the file in a new session, one object however often it is fetched: every field,
// long and unusual text intact, and the children linked both ways and loaded on first read, which
// holds just the stored members though other edits are pending.
TEST_F(IdentityMap, aReleasedObjectIsReadBackOnceWithEveryFieldAndItsChildren) {
    const QString title = QString(1 << 20, u'é') + QStringLiteral("🙂\u200d");
    QUuid id;
    {
        auto item = addTodo(title, at(2024, 3, 12), 4.5);
        item->setNotes(QStringLiteral("  notes\n"));
        item->setCompleted(true);
        item->setCompletedAt(at(2024, 3, 10, 9, 30));
        item->setRecurrenceRuleRaw(QStringLiteral(""));
        item->addSubtask(std::make_shared<Subtask>(QStringLiteral("second"), 2, now()));
        item->addSubtask(std::make_shared<Subtask>(QStringLiteral("first"), 1, now()));
        item->addChange(std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), now()));
        item->addChange(std::make_shared<ChangeEntry>(ChangeKind::TitleEdited,
                                                      QStringLiteral("a → b"), now().addSecs(5)));
        addTodo(QStringLiteral("Neighbour"));
        id = item->id();
        ASSERT_TRUE(context().save().ok());
    }
    closeStore();
    openStore();
    const auto item = only(context(), title);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->id(), id);
    EXPECT_EQ(item->title(), title);
    EXPECT_EQ(item->notes(), QStringLiteral("  notes\n"));
    EXPECT_TRUE(item->isCompleted());
    EXPECT_EQ(item->completedAt(), at(2024, 3, 10, 9, 30));
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 12));
    EXPECT_EQ(item->listRaw(), QStringLiteral("today"));
    EXPECT_EQ(item->sortOrder(), 4.5);
    EXPECT_EQ(item->createdAt(), now());
    // An empty stored rule text is not the same as no rule text.
    EXPECT_FALSE(item->recurrenceRuleRaw().isNull());
    EXPECT_TRUE(item->recurrenceRuleRaw().isEmpty());
    EXPECT_TRUE(item->isInContext());
    EXPECT_EQ(only(context(), title), item);

    // Pending: the to-do's own fields, and new members of another to-do.
    const auto neighbour = only(context(), QStringLiteral("Neighbour"));
    item->setTitle(QStringLiteral("Renamed"));
    neighbour->addSubtask(std::make_shared<Subtask>(QStringLiteral("theirs"), 1, now()));
    neighbour->addChange(std::make_shared<ChangeEntry>(ChangeKind::NotesEdited, QString(), now()));
    QSignalSpy loaded(item.get(), &TodoItem::subtasksChanged);
    const auto subtasks = item->orderedSubtasks();
    // Loading on first read is not a change to whoever reads it.
    EXPECT_EQ(loaded.count(), 0);
    ASSERT_EQ(subtasks.size(), 2);
    EXPECT_EQ(subtasks[0]->title(), QStringLiteral("first"));
    EXPECT_EQ(subtasks[1]->title(), QStringLiteral("second"));
    EXPECT_EQ(subtasks[0]->parent(), item);
    const auto changes = item->orderedChanges();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0]->kind(), ChangeKind::TitleEdited);
    EXPECT_EQ(changes[0]->detail(), QStringLiteral("a → b"));
    EXPECT_TRUE(changes[1]->detail().isNull());
    EXPECT_EQ(changes[1]->item(), item);
    EXPECT_EQ(neighbour->subtasks().size(), 1);

    // A member added now lands after the stored ones, and every pending edit is written once.
    item->addChange(std::make_shared<ChangeEntry>(ChangeKind::TitleEdited,
                                                  QStringLiteral("b → Renamed"), now().addSecs(9)));
    ASSERT_TRUE(context().save().ok());
    auto other = otherConnection();
    const auto reread = only(*other, QStringLiteral("Renamed"));
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->subtasks().size(), 2);
    EXPECT_EQ(each(reread->orderedChanges(), &ChangeEntry::detail),
              QStringList({"b → Renamed", "a → b", QString()}));
    const auto rereadNeighbour = only(*other, QStringLiteral("Neighbour"));
    EXPECT_EQ(rereadNeighbour->subtasks().size(), 1);
    EXPECT_EQ(rereadNeighbour->changes().size(), 1);
    EXPECT_EQ(other->count(TodoPredicate::all()).value(), 2);
}

using Relations = StoreFixture;

TEST_F(Relations, deletingATodoTakesItsChildrenAndDeletingASubtaskLeavesTheRest) {
    auto item = addTodo(QStringLiteral("Doomed"));
    auto subtask = std::make_shared<Subtask>(QStringLiteral("line"), 0, now());
    auto entry = std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), now());
    item->addSubtask(subtask);
    item->addChange(entry);
    auto survivor = addTodo(QStringLiteral("Survivor"));
    auto keep = std::make_shared<Subtask>(QStringLiteral("keep"), 0, now());
    auto drop = std::make_shared<Subtask>(QStringLiteral("drop"), 1, now());
    survivor->addSubtask(keep);
    survivor->addSubtask(drop);
    ASSERT_TRUE(context().save().ok());

    context().remove(item);
    context().remove(drop);
    EXPECT_FALSE(item->isInContext());
    EXPECT_FALSE(subtask->isInContext());
    EXPECT_FALSE(entry->isInContext());
    // The deleted objects stay readable for whoever still holds them.
    EXPECT_EQ(item->title(), QStringLiteral("Doomed"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(survivor->subtasks(), QList<SubtaskPtr>{keep});

    auto other = otherConnection();
    EXPECT_EQ(other->count(TodoPredicate::all()).value(), 1);
    const auto reread = only(*other, QStringLiteral("Survivor"));
    ASSERT_TRUE(reread && reread->subtasks().size() == 1);
    EXPECT_EQ(reread->subtasks().first()->title(), QStringLiteral("keep"));
}

using FailedSave = StoreFixture;

// On a full disk: reads in between see the unsaved state, and once there is room the next save
// writes it.
TEST_F(FailedSave, keepsEveryChangeVisibleAndTheNextSaveWritesIt) {
    auto kept = addTodo(QStringLiteral("Kept"));
    auto doomed = addTodo(QStringLiteral("Doomed"));
    ASSERT_TRUE(context().save().ok());

    QSignalSpy saved(&context(), &ModelContext::didSave);
    kept->setTitle(QStringLiteral("Renamed"));
    context().remove(doomed);
    auto added = addTodo(QStringLiteral("Added"));
    test::faultvfs::failWrite(1, SQLITE_FULL, true);
    const Status status = context().save();
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), QStringLiteral("database or disk is full"));
    EXPECT_EQ(saved.count(), 0);
    EXPECT_TRUE(context().hasChanges());

    // Reads through the context see the unsaved state; the file does not.
    EXPECT_EQ(titlesIn(context()), QStringList({"Added", "Renamed"}));
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 2);
    auto other = otherConnection();
    EXPECT_EQ(titlesIn(*other), QStringList({"Doomed", "Kept"}));

    test::faultvfs::disarm();
    const Status again = context().save();
    ASSERT_TRUE(again.ok()) << qPrintable(again.message());
    EXPECT_EQ(saved.count(), 1);
    EXPECT_FALSE(context().hasChanges());
    other->checkForRemoteChanges();
    EXPECT_EQ(titlesIn(*other), QStringList({"Added", "Renamed"}));
}

TEST_F(FailedSave, unsavedRecordsSurviveEvenWhenNobodyElseHoldsThem) {
    addTodo(QStringLiteral("Orphan"))
        ->addSubtask(std::make_shared<Subtask>(QStringLiteral("line"), 0, now()));
    test::faultvfs::failSync(1, SQLITE_IOERR_FSYNC);
    EXPECT_FALSE(context().save().ok());
    test::faultvfs::disarm();
    ASSERT_TRUE(context().save().ok());
    auto other = otherConnection();
    const auto found = only(*other, QStringLiteral("Orphan"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->subtasks().size(), 1);
}

TEST_F(FailedSave, aSaveWithNothingPendingSucceedsWithoutNotifying) {
    QSignalSpy saved(&context(), &ModelContext::didSave);
    QSignalSpy changed(&context(), &ModelContext::objectsDidChange);
    EXPECT_TRUE(context().save().ok());
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(changed.count(), 0);
}

using Fetching = StoreFixture;

TEST_F(Fetching, headlinesCountPastTheLimitSeeUnsavedEditsAndFlagNotesLikeTheRecords) {
    // Every kind of white space alone is no notes; a zero-width space is not white space.
    QString blank;
    for (char16_t unit = 0; unit < 0xFFFF; ++unit) {
        if (QChar(unit).isSpace())
            blank.append(QChar(unit));
    }
    const QList<QString> notes{blank, QStringLiteral("\u200B"), QStringLiteral(" x "), QString()};
    for (qsizetype i = 0; i < notes.size(); ++i)
        addTodo(QStringLiteral("n%1").arg(i), {}, double(i))->setNotes(notes[i]);
    ASSERT_TRUE(context().save().ok());
    addTodo(QStringLiteral("unsaved"), {}, 9);

    const QList<TodoSort> bySortOrder{{TodoSort::Field::SortOrder, true}};
    const auto headlines = context().headlines(TodoPredicate::all(), bySortOrder, 3);
    ASSERT_TRUE(headlines.ok());
    EXPECT_EQ(headlines.value().totalCount, 5);
    ASSERT_EQ(headlines.value().items.size(), 3);
    const auto records = context().fetch({TodoPredicate::all(), bySortOrder, 3}).value();
    for (qsizetype i = 0; i < records.size(); ++i) {
        EXPECT_EQ(headlines.value().items[i],
                  (TodoHeadline{records[i]->id(), records[i]->title(), records[i]->hasNotes()}));
    }
    EXPECT_EQ(context().headlines(TodoPredicate::all(), bySortOrder, 0).value().totalCount, 5);
    EXPECT_EQ(context().headlines(TodoPredicate::none(), bySortOrder, 3).value().totalCount, 0);
}

TEST_F(Fetching, stockListsSplitOpenTodosAtTheStartOfTomorrow) {
    // 23:59 on the evening before the spring daylight-saving change in New York.
    const QDateTime lateEvening = at(2024, 3, 9, 23, 59);
    addTodo(QStringLiteral("overdue"), at(2024, 3, 1));
    addTodo(QStringLiteral("today"), at(2024, 3, 9));
    addTodo(QStringLiteral("tomorrow"), at(2024, 3, 10));
    addTodo(QStringLiteral("undated"));
    addTodo(QStringLiteral("done yesterday"), at(2024, 3, 8))->setCompleted(true);
    // The list a to-do was created in decides nothing, whatever it holds.
    addTodo(QStringLiteral("overdue inbox"), at(2024, 3, 2))->setListRaw(QStringLiteral("inbox"));
    addTodo(QStringLiteral("undated inbox"))->setListRaw(QStringLiteral("inbox"));
    ASSERT_TRUE(context().save().ok());

    EXPECT_EQ(titlesIn(context(), stockqueries::todayList(lateEvening, calendar)),
              QStringList({"overdue", "overdue inbox", "today"}));
    EXPECT_EQ(titlesIn(context(), stockqueries::laterList(lateEvening, calendar)),
              QStringList({"tomorrow", "undated", "undated inbox"}));

    // One minute later the day has turned: tomorrow's to-do is due.
    const QDateTime afterMidnight = at(2024, 3, 10, 0, 0);
    EXPECT_EQ(context().count(stockqueries::todayList(afterMidnight, calendar)).value(), 4);
    EXPECT_EQ(context().count(stockqueries::laterList(afterMidnight, calendar)).value(), 2);
    EXPECT_EQ(context().count(stockqueries::undated()).value(), 2);
    // The fallback decides where absent dates fall.
    const QDateTime boundary = at(2024, 3, 10);
    EXPECT_EQ(context().count(stockqueries::dueBy(boundary, distantPast())).value(), 5);
    EXPECT_EQ(context().count(stockqueries::from(boundary, distantPast())).value(), 1);
}

TEST_F(Fetching, largestSortOrderCountsOnlyMatchesAndSeesUnsavedEdits) {
    const TodoPredicate open = TodoPredicate::isCompleted(false);
    EXPECT_EQ(context().maximumSortOrder(open).value(), std::nullopt);

    addTodo(QStringLiteral("saved"), at(2024, 3, 9), 4);
    addTodo(QStringLiteral("done"), at(2024, 3, 9), 40)->setCompleted(true);
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(context().maximumSortOrder(open).value(), 4.0);

    // An unsaved record counts, and so does an unsaved edit of a saved one.
    addTodo(QStringLiteral("pending"), {}, 9);
    EXPECT_EQ(context().maximumSortOrder(open).value(), 9.0);
    only(context(), QStringLiteral("saved"))->setSortOrder(12.5);
    EXPECT_EQ(context().maximumSortOrder(open).value(), 12.5);
    EXPECT_EQ(context().maximumSortOrder(stockqueries::undated()).value(), 9.0);
    // Today's group is read as a range of days, which must still leave later days out.
    const auto dueBy = [](int day) {
        return stockqueries::dueBy(at(2024, 3, day), distantFuture());
    };
    EXPECT_EQ(context().maximumSortOrder(dueBy(10)).value(), 12.5);
    EXPECT_EQ(context().maximumSortOrder(dueBy(9)).value(), std::nullopt);
    EXPECT_EQ(context().maximumSortOrder(TodoPredicate::isCompleted(true)).value(), 40.0);
}

using LiveQueries = StoreFixture;

TEST_F(LiveQueries, reportMembershipAndOrderApartFromChangesToWhatARowShows) {
    TodoFetch request;
    request.predicate = TodoPredicate::isCompleted(false);
    request.sort = {{TodoSort::Field::SortOrder, true}};
    LiveQuery query(context(), request);
    QSignalSpy resultsChanged(&query, &LiveQuery::resultsChanged);
    QSignalSpy rowsChanged(&query, &LiveQuery::rowsChanged);
    EXPECT_TRUE(query.results().isEmpty());

    addTodo(QStringLiteral("One"), {}, 1);
    auto item = addTodo(QStringLiteral("Two"), {}, 2);
    ASSERT_TRUE(context().save().ok());
    ASSERT_EQ(query.results().size(), 2);
    EXPECT_EQ(resultsChanged.count(), 1);
    EXPECT_EQ(rowsChanged.count(), 0);

    // Each field a row draws or is grouped by, changed in place, is a change of that row only.
    auto subtask = std::make_shared<Subtask>(QStringLiteral("step"), 0, now());
    const QList<std::pair<const char *, std::function<void()>>> edits = {
        {"title", [&] { item->setTitle(QStringLiteral("Renamed")); }},
        {"notes mark", [&] { item->setNotes(QStringLiteral("some notes")); }},
        {"day", [&] { item->setScheduledDate(at(2024, 3, 12)); }},
        {"repeat mark", [&] { item->setRecurrenceRule(RecurrenceRule{}); }},
        {"subtask added", [&] { item->addSubtask(subtask); }},
        {"subtask ticked", [&] { subtask->setCompleted(true); }},
    };
    for (const auto &[field, edit] : edits) {
        SCOPED_TRACE(field);
        rowsChanged.clear();
        edit();
        ASSERT_TRUE(context().save().ok());
        ASSERT_EQ(rowsChanged.count(), 1);
        EXPECT_EQ(rowsChanged.first().first().value<QList<int>>(), QList<int>{1});
    }
    EXPECT_EQ(resultsChanged.count(), 1);

    // Notes that keep the mark, and a field no list shows, change no row.
    rowsChanged.clear();
    item->setNotes(QStringLiteral("other notes"));
    item->setListRaw(QStringLiteral("today"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(rowsChanged.count(), 0);

    // A new order is a change of the results, not of a row.
    item->setSortOrder(0);
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(resultsChanged.count(), 2);
    EXPECT_EQ(rowsChanged.count(), 0);

    // A commit made by another connection reaches the row once it is merged.
    auto other = otherConnection();
    only(*other, QStringLiteral("Renamed"))->setTitle(QStringLiteral("Renamed there"));
    ASSERT_TRUE(other->save().ok());
    ASSERT_TRUE(context().checkForRemoteChanges());
    ASSERT_EQ(rowsChanged.count(), 1);
    EXPECT_EQ(rowsChanged.first().first().value<QList<int>>(), QList<int>{0});

    item->setCompleted(true);
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(query.results().size(), 1);
    EXPECT_EQ(resultsChanged.count(), 3);
}

TEST_F(Relations, editingASubtaskAfterItsToDoObjectWasReleasedKeepsItsOwner) {
    SubtaskPtr subtask;
    {
        auto item = addTodo(QStringLiteral("Owner"));
        item->addSubtask(std::make_shared<Subtask>(QStringLiteral("line"), 0, now()));
        ASSERT_TRUE(context().save().ok());
        closeStore();
        openStore();
        subtask = only(context(), QStringLiteral("Owner"))->subtasks().first();
    } // nothing holds the to-do object any more
    ASSERT_FALSE(subtask->parent());
    subtask->setCompleted(true);
    ASSERT_TRUE(context().save().ok());

    auto other = otherConnection();
    const auto owner = only(*other, QStringLiteral("Owner"));
    ASSERT_TRUE(owner && owner->subtasks().size() == 1);
    EXPECT_TRUE(owner->subtasks().first()->isCompleted());
}
