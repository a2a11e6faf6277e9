#include "datafiles.h"
#include "faultvfs.h"
#include "logsyncvfs.h"
#include "manualtimer.h"
#include "store/idlecheckpoint.h"
#include "storefixture.h"

#include <QFileInfo>

#include <sqlite3.h>

using namespace qb;
using qb::test::ManualTimer;
using qb::test::StoreFixture;

namespace {

class IdleCheckpointTest : public StoreFixture {
protected:
    qint64 storeFileSize() const { return QFileInfo(path()).size(); }

    // Saves `count` to-dos with 4,000 characters of notes each, ten to a save.
    void saveNotes(int count) {
        const QString notes(4000, QLatin1Char('n'));
        for (int i = 1; i <= count; ++i) {
            addTodo(QStringLiteral("with notes"))->setNotes(notes);
            if (i % 10 == 0 || i == count) {
                ASSERT_TRUE(context().save().ok());
            }
        }
    }

    std::shared_ptr<ManualTimer::State> timer = std::make_shared<ManualTimer::State>();
};

} // namespace

TEST_F(IdleCheckpointTest, theLogReachesTheStoreFileOnlyOnceSavingPauses) {
    IdleCheckpoint idle(context(), std::make_unique<ManualTimer>(timer));
    const qint64 before = storeFileSize();
    // Notes are kept in the row and in the search index: about 1,600 pages of log, past
    // SQLite's own limit of 1000 and within the larger one.
    saveNotes(300);
    EXPECT_EQ(storeFileSize(), before) << "a save copied the log";
    ASSERT_NE(timer->action, nullptr);
    EXPECT_EQ(timer->delay, IdleCheckpoint::idleDelay);

    ASSERT_TRUE(qb::test::fire(*timer));
    EXPECT_GT(storeFileSize(), before + 2'000'000);
    // Everything is still there for a connection that reads the file afresh.
    auto other = otherConnection();
    EXPECT_EQ(other->count(TodoPredicate::all()).value(), 300);
}

TEST_F(IdleCheckpointTest, eachSaveRestartsTheWaitAndNothingElseStartsIt) {
    IdleCheckpoint idle(context(), std::make_unique<ManualTimer>(timer));
    ASSERT_TRUE(context().save().ok()); // nothing pending: no save took place
    EXPECT_EQ(timer->action, nullptr);

    saveNotes(1);
    ASSERT_NE(timer->action, nullptr);
    timer->delay = std::chrono::milliseconds(-1);
    saveNotes(1);
    EXPECT_EQ(timer->delay, IdleCheckpoint::idleDelay);

    // A failed save changed nothing on disk and does not start the wait either.
    ASSERT_TRUE(qb::test::fire(*timer));
    addTodo(QStringLiteral("unsaved"));
    qb::test::faultvfs::failWrite(1, SQLITE_FULL, true);
    EXPECT_FALSE(context().save().ok());
    EXPECT_EQ(timer->action, nullptr);
}

TEST_F(IdleCheckpointTest, aShortLogOutlivesTheConnectionAndALongOneIsCopiedInAtClose) {
    const QString log = path() + QStringLiteral("-wal");
    constexpr qint64 limit = 256 * 1024;
    context().keepShortLogOnClose(limit);
    addTodo(QStringLiteral("first"));
    ASSERT_TRUE(context().save().ok());
    const qint64 before = storeFileSize();
    closeStore();
    EXPECT_GT(QFileInfo(log).size(), 0) << "the short log was removed";
    EXPECT_EQ(storeFileSize(), before) << "the short log was copied in";
    // The new store's layout was copied in when it was made: the next opener reads it in the
    // file's header and skips the full check.
    EXPECT_NE(qb::test::dataFile(path()).at(63), 0) << "the layout is only in the log";

    // The next connection carries on from the log it finds, without syncing its folder again.
    openStore();
    EXPECT_NE(qb::test::only(context(), QStringLiteral("first")), nullptr);
    context().keepShortLogOnClose(limit);
    const int folderSyncs = sql::logFolderSyncCount();
    saveNotes(40);
    EXPECT_EQ(sql::logFolderSyncCount(), folderSyncs);
    ASSERT_GT(QFileInfo(log).size(), limit);
    closeStore();
    EXPECT_FALSE(QFileInfo::exists(log)) << "the long log was left behind";
    // A log file a reader made, never synced: the first log header written into it is.
    qb::test::rewriteFile(log, {});
    openStore(); // from the store file alone
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 41);
    saveNotes(1);
    EXPECT_EQ(sql::logFolderSyncCount(), folderSyncs + 1);
}
