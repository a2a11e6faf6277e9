#include "crashloop.h"
#include "faultvfs.h"
#include "qtprinters.h"
#include "store/modelcontainer.h"
#include "storefiles.h"
#include "storefixture.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace qb;
namespace faultvfs = qb::test::faultvfs;
using qb::test::addTodo;
using qb::test::CrashStep;
using qb::test::inspectStore;
using qb::test::makeStore;
using qb::test::only;
using qb::test::openAt;

namespace {

// Saves of every kind: inserts with children, edits, deletions.
QList<CrashStep> editingSaves() {
    return {
        [](ModelContainer &container) {
            auto &context = container.mainContext();
            for (int i = 0; i < 3; ++i)
                addTodo(context, QStringLiteral("Added %1").arg(i), 300)
                    ->addSubtask(
                        std::make_shared<Subtask>(QStringLiteral("sub"), 0, test::created()));
            return context.save().ok();
        },
        [](ModelContainer &container) {
            auto &context = container.mainContext();
            if (auto item = only(context, QStringLiteral("Stored 3")))
                item->setTitle(QStringLiteral("Renamed"));
            if (auto item = only(context, QStringLiteral("Stored 4")))
                context.remove(item);
            return context.save().ok();
        },
        [](ModelContainer &container) {
            auto &context = container.mainContext();
            if (auto item = only(context, QStringLiteral("Added 1")))
                item->setCompleted(true);
            addTodo(context, QStringLiteral("Last"));
            return context.save().ok();
        },
    };
}

// Saves more pages than the store file holds into the log, and leaves them there.
bool logUncopied(ModelContext &context) {
    if (!context.setCheckpointLimit(0))
        return false;
    for (int i = 0; i < 16; ++i)
        addTodo(context, QStringLiteral("Logged %1").arg(i), 1500);
    return context.save().ok();
}

} // namespace

// A power cut anywhere in a run of saves, in the copy of the log into the store file, or
// while closing: the store opens, intact, with everything acknowledged.
TEST(PowerCut, duringSavesLosesNothingAcknowledged) {
    const int cuts = test::expectEveryCrashRecovers(
        [](const QString &path) { makeStore(path, 30); }, editingSaves());
    EXPECT_GT(cuts, 6);
}

// The log holds more pages than the store file, so the copy grows the file: while it runs, and
// when it is cut off, the header counts pages the file does not have yet.
TEST(PowerCut, duringTheCopyOfTheLogIntoTheStoreFileLosesNothing) {
    const QList<CrashStep> steps = {
        [](ModelContainer &container) { return logUncopied(container.mainContext()); },
        [](ModelContainer &container) { return container.mainContext().checkpoint().ok(); },
    };
    const int cuts =
        test::expectEveryCrashRecovers([](const QString &path) { makeStore(path, 2); }, steps);
    EXPECT_GT(cuts, 20);
}

using FullDisk = ::testing::Test;

// Each write of a save failing in turn, as on a disk that fills up there and stays full: the
// save reports the failure, the store on disk is as before, and once there is room again the
// same context saves everything, also after the app was closed and reopened with the log left
// as the failure left it.
TEST_F(FullDisk, atAnyWriteOfASaveKeepsTheChangesUntilThereIsRoomAgain) {
    // Row keys are random, so the number of writes varies a little: the failing write moves on
    // until the save has no write left to fail.
    int failedSaves = 0;
    for (int nth = 1;; ++nth) {
        SCOPED_TRACE(nth);
        test::TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Full.store"));
        makeStore(path, 20);
        const QStringList before = inspectStore(path).rows;
        {
            auto container = openAt(path);
            ASSERT_TRUE(container.ok());
            auto &context = container.value()->mainContext();
            addTodo(context, QStringLiteral("New"), 5000);
            only(context, QStringLiteral("Stored 0"))->setTitle(QStringLiteral("Renamed"));

            faultvfs::failWrite(nth, SQLITE_FULL, true);
            const Status saved = context.save();
            const bool hit = faultvfs::failures() > 0;
            faultvfs::disarm();
            if (!hit) {
                EXPECT_TRUE(saved.ok());
                break;
            }
            ++failedSaves;
            EXPECT_FALSE(saved.ok());
            EXPECT_TRUE(saved.message().contains(QStringLiteral("full")))
                << qPrintable(saved.message());
            EXPECT_TRUE(context.hasChanges());
            EXPECT_EQ(inspectStore(path).rows, before);
        }
        // The store as the failed save left it opens with the earlier contents.
        EXPECT_EQ(inspectStore(path), (test::StoreInspection{QString(), before}));

        // Once there is room, the context that failed saves what it kept.
        auto container = openAt(path);
        ASSERT_TRUE(container.ok());
        auto &context = container.value()->mainContext();
        addTodo(context, QStringLiteral("New"), 5000);
        faultvfs::failWrite(nth, SQLITE_FULL, true);
        EXPECT_FALSE(context.save().ok());
        faultvfs::disarm();
        ASSERT_TRUE(context.save().ok());
        EXPECT_EQ(context.count(TodoPredicate::all()).valueOr(-1), 21);
        if (HasFailure())
            break;
    }
    EXPECT_GT(failedSaves, 5);
}

// The disk fills while the log is copied into the store file, which grows, and stays full while
// the store is closed: once there is room again the store opens with every save.
TEST_F(FullDisk, whileTheLogIsCopiedLosesNothingOnceThereIsRoomAgain) {
    int failedCopies = 0;
    for (int nth = 1;; ++nth) {
        SCOPED_TRACE(nth);
        test::TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Full.store"));
        makeStore(path, 2);
        bool hit = false;
        {
            auto container = openAt(path);
            ASSERT_TRUE(container.ok());
            auto &context = container.value()->mainContext();
            ASSERT_TRUE(logUncopied(context));
            faultvfs::failWrite(nth, SQLITE_FULL, true);
            const Status copied = context.checkpoint();
            hit = faultvfs::failures() > 0;
            EXPECT_EQ(copied.ok(), !hit);
        }
        faultvfs::disarm();
        const auto found = inspectStore(path);
        EXPECT_EQ(found.problem, QString());
        EXPECT_EQ(found.rows.filter(QRegularExpression(QStringLiteral("^todo\\|Logged"))).size(),
                  16);
        if (!hit || HasFailure())
            break;
        ++failedCopies;
    }
    EXPECT_GT(failedCopies, 10);
}
