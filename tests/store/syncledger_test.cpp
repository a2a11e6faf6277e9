#include "faultvfs.h"
#include "store/syncledger.h"
#include "storefiles.h"
#include "storefixture.h"

#include <sqlite3.h>

using namespace qb;
using qb::test::only;
using qb::test::StoreFixture;

class Ledger : public StoreFixture {
protected:
    SyncLedger ledger() { return SyncLedger(context()); }
    static QList<QUuid> queued(SyncLedger &ledger) {
        return qb::test::each(ledger.pending().valueOr({}), &PendingChange::recordId);
    }

    TodoItemPtr savedTodo(const QString &title) {
        auto item = addTodo(title);
        EXPECT_TRUE(context().save().ok());
        return item;
    }
    SubtaskPtr savedSubtask(const TodoItemPtr &item, const QString &title) {
        auto subtask = std::make_shared<Subtask>(title, 1, now());
        context().insert(subtask);
        item->addSubtask(subtask);
        EXPECT_TRUE(context().save().ok());
        return subtask;
    }
    void bind() {
        auto l = ledger();
        ASSERT_TRUE(l.bind(QStringLiteral("https://dav.example/tasks/")).ok());
    }
};

TEST_F(Ledger, bindingQueuesEverythingAndEveryWriteRebindingStartsOverAndUnbindingStops) {
    auto item = savedTodo(QStringLiteral("before"));
    auto subtask = savedSubtask(item, QStringLiteral("step"));
    item->setTitle(QStringLiteral("edited"));
    ASSERT_TRUE(context().save().ok());
    auto l = ledger();
    EXPECT_EQ(l.pendingCount().valueOr(-1), 0);

    bind();
    // The to-do comes before its subtask, dated by its last logged change.
    EXPECT_EQ(queued(l), (QList{item->id(), subtask->id()}));
    EXPECT_EQ(l.pendingChange(item->id()).value()->changedAt, now());
    EXPECT_EQ(l.collection().value(), QStringLiteral("https://dav.example/tasks/"));

    for (const PendingChange &change : l.pending().valueOr({}))
        l.settle(change);
    l.record({item->id(), QStringLiteral("U"), QStringLiteral("/old/1.ics"), {}, "x"});
    l.setValue(QStringLiteral("token"), QStringLiteral("t1"));
    ASSERT_TRUE(l.commit().ok());
    ASSERT_TRUE(l.bind(QStringLiteral("https://other.example/list/")).ok());
    EXPECT_FALSE(l.resource(item->id()).value().has_value());
    EXPECT_TRUE(l.value(QStringLiteral("token")).value().isNull());
    EXPECT_EQ(queued(l), (QList{item->id(), subtask->id()}));
    for (const PendingChange &change : l.pending().valueOr({}))
        l.settle(change);
    ASSERT_TRUE(l.commit().ok());
    ASSERT_EQ(l.pendingCount().value(), 0);

    // While bound every write of any connection is queued; a log line travels with its to-do.
    auto entry = std::make_shared<ChangeEntry>(ChangeKind::NotesEdited, QString(), now());
    context().insert(entry);
    item->addChange(entry);
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(queued(l), QList{item->id()});
    EXPECT_EQ(l.locate(item->id()).value().kind, RecordLocation::Kind::Todo);
    const RecordLocation found = l.locate(subtask->id()).value();
    EXPECT_EQ(found.kind, RecordLocation::Kind::Subtask);
    EXPECT_EQ(found.parentId, item->id());

    // Another process's insert.
    auto other = otherConnection();
    auto theirs = qb::test::addTodo(*other, QStringLiteral("theirs"));
    ASSERT_TRUE(other->save().ok());
    EXPECT_TRUE(queued(l).contains(theirs->id()));

    // Deleting a to-do queues its subtasks too, and neither is found any more.
    context().remove(item);
    ASSERT_TRUE(context().save().ok());
    EXPECT_TRUE(queued(l).contains(subtask->id()));
    EXPECT_EQ(l.locate(item->id()).value().kind, RecordLocation::Kind::Missing);
    EXPECT_EQ(l.locate(subtask->id()).value().kind, RecordLocation::Kind::Missing);

    ASSERT_TRUE(l.unbind().ok());
    addTodo(QStringLiteral("after sign-out"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(l.pendingCount().value(), 0);
    EXPECT_TRUE(l.collection().value().isEmpty());
}

TEST_F(Ledger, settlingKeepsARecordChangedAgainSinceItWasRead) {
    auto item = savedTodo(QStringLiteral("one"));
    bind();
    auto l = ledger();
    const PendingChange sent = l.pendingChange(item->id()).value().value();
    item->setTitle(QStringLiteral("changed while sending"));
    ASSERT_TRUE(context().save().ok());
    l.settle(sent);
    ASSERT_TRUE(l.commit().ok());
    const auto still = l.pendingChange(item->id()).value();
    ASSERT_TRUE(still.has_value());
    EXPECT_GT(still->sequence, sent.sequence);

    l.settle(*still);
    ASSERT_TRUE(l.commit().ok());
    EXPECT_FALSE(l.pendingChange(item->id()).value().has_value());
}

TEST_F(Ledger, bookkeepingCommitsWithTheRecordsOrNotAtAll) {
    auto item = savedTodo(QStringLiteral("one"));
    bind();
    auto l = ledger();
    const SyncedResource resource{item->id(), QStringLiteral("UID-1"), QStringLiteral("/t/1.ics"),
                                  QStringLiteral("\"e1\""), QByteArrayLiteral("BEGIN:VCALENDAR")};

    item->setTitle(QStringLiteral("from the server"));
    l.record(resource);
    l.unqueue(item->id());
    qb::test::faultvfs::failWrite(1, SQLITE_FULL, true);
    EXPECT_FALSE(l.commit().ok());
    EXPECT_FALSE(l.resource(item->id()).value().has_value());
    EXPECT_TRUE(l.pendingChange(item->id()).value().has_value());

    qb::test::faultvfs::disarm();
    l.record(resource);
    l.unqueue(item->id());
    ASSERT_TRUE(l.commit().ok());
    // The record's own write queued it again inside the transaction; the ledger's unqueue,
    // written after the records, has the last word.
    EXPECT_FALSE(l.pendingChange(item->id()).value().has_value());
    const auto stored = l.resourceAt(QStringLiteral("/t/1.ics")).value();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->recordId, item->id());
    EXPECT_EQ(stored->base, resource.base);
    EXPECT_EQ(l.entityTags(QString(), 10).value(),
              (QList{std::pair{QStringLiteral("/t/1.ics"), QStringLiteral("\"e1\"")}}));
    EXPECT_TRUE(l.entityTags(QStringLiteral("/t/1.ics"), 10).value().isEmpty());
}

// A store written before the sync tables existed opens and gains them; bringing a bound store
// from an earlier layout to this build's keeps its queue filling.
TEST_F(Ledger, anOlderStoreGainsTheTablesAndABoundOneGoesOnQueueing) {
    auto item = savedTodo(QStringLiteral("old"));
    closeStore();
    qb::test::runSql(path(), "DROP TABLE sync_pending; DROP TABLE sync_resource; "
                             "DROP TABLE sync_meta; PRAGMA user_version = 0;");
    openStore();
    bind();
    {
        auto l = ledger();
        EXPECT_EQ(queued(l), QList{item->id()});
        l.unqueue(item->id());
        ASSERT_TRUE(l.commit().ok());
    }
    closeStore();
    qb::test::runSql(path(), "PRAGMA user_version = 1");

    openStore();
    only(context(), QStringLiteral("old"))->setTitle(QStringLiteral("edited"));
    ASSERT_TRUE(context().save().ok());
    auto l = ledger();
    EXPECT_EQ(queued(l), QList{item->id()});
}
