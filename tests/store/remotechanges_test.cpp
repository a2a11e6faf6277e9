#include "faultvfs.h"
#include "store/livequery.h"
#include "storefiles.h"
#include "storefixture.h"

#include <QSignalSpy>

#include <sqlite3.h>

using namespace qb;
using qb::test::only;
using qb::test::StoreFixture;

using RemoteChanges = StoreFixture;

// Another connection's commit: fields of a held record, a subtask added to it and a new to-do
// with its log all reach this context, without counting as edits of ours. Our own save between
// their commit and the next check must not hide their commit, and is no foreign commit itself.
TEST_F(RemoteChanges, aCommitElsewhereRefreshesHeldRecordsRelationsAndQueries) {
    auto item = addTodo(QStringLiteral("Draft"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_TRUE(item->subtasks().isEmpty());
    LiveQuery query(context(), TodoFetch());
    QSignalSpy resultsChanged(&query, &LiveQuery::resultsChanged);

    auto other = otherConnection();
    auto theirs = only(*other, QStringLiteral("Draft"));
    theirs->setTitle(QStringLiteral("Final"));
    theirs->setScheduledDate(at(2024, 3, 11));
    theirs->addSubtask(std::make_shared<Subtask>(QStringLiteral("added there"), 0, now()));
    test::addTodo(*other, QStringLiteral("From the terminal"))
        ->addChange(std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), now()));
    ASSERT_TRUE(other->save().ok());

    QSignalSpy remote(&context(), &ModelContext::remoteChange);
    QSignalSpy titleChanged(item.get(), &TodoItem::titleChanged);
    QSignalSpy subtasksChanged(item.get(), &TodoItem::subtasksChanged);
    EXPECT_TRUE(context().checkForRemoteChanges());
    EXPECT_EQ(remote.count(), 1);
    EXPECT_EQ(titleChanged.count(), 1);
    EXPECT_EQ(item->title(), QStringLiteral("Final"));
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 11));
    EXPECT_EQ(subtasksChanged.count(), 1);
    ASSERT_EQ(item->subtasks().size(), 1);
    EXPECT_EQ(item->subtasks().first()->title(), QStringLiteral("added there"));
    EXPECT_EQ(resultsChanged.count(), 1);
    ASSERT_EQ(query.results().size(), 2);
    EXPECT_EQ(only(context(), QStringLiteral("From the terminal"))->changes().size(), 1);
    EXPECT_FALSE(context().hasChanges());

    theirs->setTitle(QStringLiteral("Final again"));
    ASSERT_TRUE(other->save().ok());
    addTodo(QStringLiteral("mine"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_TRUE(context().checkForRemoteChanges());
    EXPECT_EQ(remote.count(), 2);
    EXPECT_EQ(item->title(), QStringLiteral("Final again"));
    addTodo(QStringLiteral("mine too"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_FALSE(context().checkForRemoteChanges());
    EXPECT_EQ(remote.count(), 2);
}

TEST_F(RemoteChanges, aTodoDeletedElsewhereLeavesTheContextAndItsQueries) {
    auto item = addTodo(QStringLiteral("Shared"));
    auto subtask = std::make_shared<Subtask>(QStringLiteral("line"), 0, now());
    item->addSubtask(subtask);
    ASSERT_TRUE(context().save().ok());
    TodoFetch request;
    LiveQuery query(context(), request);
    ASSERT_EQ(query.results().size(), 1);

    auto other = otherConnection();
    other->remove(only(*other, QStringLiteral("Shared")));
    ASSERT_TRUE(other->save().ok());

    ASSERT_TRUE(context().checkForRemoteChanges());
    EXPECT_FALSE(item->isInContext());
    EXPECT_FALSE(subtask->isInContext());
    EXPECT_TRUE(query.results().isEmpty());
    // Edits to the gone record cannot resurrect it.
    item->setTitle(QStringLiteral("Ghost"));
    EXPECT_FALSE(context().hasChanges());
    EXPECT_TRUE(context().save().ok());
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);
}

TEST_F(RemoteChanges, ourUnsavedEditsWinOverTheRefresh) {
    auto item = addTodo(QStringLiteral("Contested"));
    ASSERT_TRUE(context().save().ok());
    item->setNotes(QStringLiteral("local notes"));
    test::faultvfs::failWrite(1, SQLITE_IOERR_WRITE);
    EXPECT_FALSE(context().save().ok());
    test::faultvfs::disarm();

    auto other = otherConnection();
    only(*other, QStringLiteral("Contested"))->setNotes(QStringLiteral("remote notes"));
    ASSERT_TRUE(other->save().ok());

    ASSERT_TRUE(context().checkForRemoteChanges());
    EXPECT_EQ(item->notes(), QStringLiteral("local notes"));
    ASSERT_TRUE(context().save().ok());
    other->checkForRemoteChanges();
    EXPECT_EQ(only(*other, QStringLiteral("Contested"))->notes(), QStringLiteral("local notes"));
}
