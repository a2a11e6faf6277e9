#include "datafiles.h"
#include "qtprinters.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "storefiles.h"
#include "tempstore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace qb;
using qb::test::fileDigest;
using qb::test::makeStore;
using qb::test::openAt;
using qb::test::runSql;

namespace {

// Opening must fail with a description of where the file is and that it was kept, and leave
// the file exactly as it was.
void expectRefusedAndUntouched(const QString &path) {
    const QByteArray before = fileDigest(path);
    auto container = openAt(path);
    EXPECT_FALSE(container.ok());
    EXPECT_TRUE(container.message().contains(path)) << qPrintable(container.message());
    EXPECT_TRUE(container.message().contains(QStringLiteral("left untouched")));
    EXPECT_EQ(fileDigest(path), before);
}

void cutTo(const QString &path, qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.resize(size));
}

} // namespace

TEST(ModelContainer, createsAMissingStoreFileReadableByItsOwnerOnly) {
    test::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("New.store"));
    auto container = openAt(path);
    ASSERT_TRUE(container.ok()) << container.message().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFile::permissions(path) &
                  ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
              QFile::Permissions());
}

// Another program is making the same new store: it holds the write lock on the still empty
// file for a moment. Opening waits for it instead of failing with "database is locked".
TEST(ModelContainer, aNewStoreOpensWhileAnotherProgramHoldsItsWriteLock) {
    test::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("Shared.store"));
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    });
    auto container = openAt(path);
    release.join();
    sqlite3_close(other);
    ASSERT_TRUE(container.ok()) << qPrintable(container.message());
    EXPECT_TRUE(container.value()->mainContext().count(TodoPredicate::all()).ok());
}

TEST(ModelContainer, storeFolderIsCreatedPrivateInTheDataHome) {
    const QString folder = persistence::storeFolder();
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/Quillbrook")));
    EXPECT_TRUE(folder.startsWith(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"))));
    ASSERT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFile::permissions(folder) &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    EXPECT_EQ(persistence::storePath(folder), folder + QStringLiteral("/Quillbrook.store"));
}

TEST(RefusedStoreFile, damagedForeignOrNewerFilesAreLeftAsTheyWere) {
    const QList<std::pair<const char *, std::function<void(const QString &)>>> files = {
        {"random bytes",
         [](const QString &path) {
             QByteArray noise(64 * 1024, Qt::Uninitialized);
             QRandomGenerator generator(42);
             for (auto &byte : noise)
                 byte = char(generator.bounded(256));
             test::rewriteFile(path, noise);
         }},
        {"cut to half its size",
         [](const QString &path) {
             makeStore(path, 400);
             cutTo(path, QFileInfo(path).size() / 2);
         }},
        {"cut inside its last page",
         [](const QString &path) {
             makeStore(path, 400);
             cutTo(path, QFileInfo(path).size() - 1000);
         }},
        {"cut inside its header",
         [](const QString &path) {
             makeStore(path, 5);
             cutTo(path, 60);
         }},
        {"from a newer schema",
         [](const QString &path) {
             makeStore(path, 2);
             runSql(path, "UPDATE store_metadata SET value='2.0.0' WHERE key='schemaVersion'");
         }},
        {"another program's database",
         [](const QString &path) {
             runSql(path, "CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES ('x')");
         }},
    };
    for (const auto &[what, make] : files) {
        SCOPED_TRACE(what);
        test::TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Quillbrook.store"));
        make(path);
        expectRefusedAndUntouched(path);
    }
}

TEST(RefusedStoreFile, aFolderOrAnUnreadableFileIsRefused) {
    test::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("Quillbrook.store"));
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_FALSE(openAt(path).ok());
    EXPECT_TRUE(QFileInfo(path).isDir());
    if (::geteuid() == 0)
        return; // permissions do not apply to root
    const QString unreadable = folder.filePath(QStringLiteral("Unreadable.store"));
    makeStore(unreadable, 2);
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFile::WriteOwner));
    EXPECT_FALSE(openAt(unreadable).ok());
    QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner);
}

// Refused before SQLite could copy the other program's log into its file, also when the file's
// header reads like a store's (same layout number, log mode), which the opening takes on trust.
TEST(RefusedStoreFile, otherApplicationsDatabaseWithPagesInItsLog) {
    for (const char *layout : {"PRAGMA user_version = 0", "PRAGMA user_version = 1"}) {
        SCOPED_TRACE(layout);
        test::TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Quillbrook.store"));
        const QString original = folder.filePath(QStringLiteral("other.db"));
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(original.toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_exec(db, layout, nullptr, nullptr, nullptr);
        sqlite3_exec(db,
                     "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; CREATE TABLE "
                     "notes(body TEXT); INSERT INTO notes VALUES ('x')",
                     nullptr, nullptr, nullptr);
        // Copied while open: the log still holds the pages, as after a crash.
        for (const QString &suffix : {QString(), QStringLiteral("-wal")})
            ASSERT_TRUE(QFile::copy(original + suffix, path + suffix));
        sqlite3_close(db);
        const QByteArray log = fileDigest(path + QStringLiteral("-wal"));
        expectRefusedAndUntouched(path);
        EXPECT_EQ(fileDigest(path + QStringLiteral("-wal")), log);
    }
}

// As a copy of the log into the store file leaves it when cut off after its first page: the
// header counts pages that only the log holds so far. The log's index file is missing.
TEST(SoundStoreFile, opensWhenItsHeaderCountsPagesOnlyItsLogHolds) {
    test::TempFolder folder;
    const QString live = folder.filePath(QStringLiteral("Live.store"));
    const QString path = folder.filePath(QStringLiteral("Copy.store"));
    auto writer = openAt(live);
    ASSERT_TRUE(writer.ok());
    auto &context = writer.value()->mainContext();
    ASSERT_TRUE(context.setCheckpointLimit(0).ok());
    for (int i = 0; i < 500; ++i)
        test::addTodo(context, QStringLiteral("Logged"));
    ASSERT_TRUE(context.save().ok());
    for (const QString &suffix : {QString(), QStringLiteral("-wal")})
        ASSERT_TRUE(QFile::copy(live + suffix, path + suffix));
    ASSERT_TRUE(context.checkpoint().ok());
    QFile copied(path), grown(live);
    ASSERT_TRUE(copied.open(QIODevice::ReadWrite) && grown.open(QIODevice::ReadOnly));
    ASSERT_LT(copied.size(), grown.size());
    ASSERT_EQ(copied.write(grown.read(4096)), 4096);
    copied.close();

    auto opened = openAt(path);
    ASSERT_TRUE(opened.ok()) << qPrintable(opened.message());
    EXPECT_EQ(opened.value()->mainContext().count(TodoPredicate::all()).valueOr(-1), 500);
}

// Stores of an older patch version, written with the indexes of older builds, get today's
// indexes when opened, and keep their rows.
TEST(ModelContainer, bringsTheIndexesOfAnOlderStoreUpToDate) {
    test::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("Older.store"));
    makeStore(path, 3);
    const auto indexes = [&] {
        return runSql(path, "SELECT name FROM sqlite_schema WHERE type = 'index' AND tbl_name = "
                            "'todo_item' AND sql IS NOT NULL ORDER BY name");
    };
    const QStringList current = indexes();
    EXPECT_TRUE(current.contains(QStringLiteral("todo_search")));
    EXPECT_FALSE(current.contains(QStringLiteral("todo_by_creation")));
    // As the build before these indexes left it, which had not marked the file either.
    runSql(path, "DROP INDEX todo_search; CREATE INDEX todo_by_creation ON todo_item(created_at); "
                 "PRAGMA user_version = 0; UPDATE store_metadata SET value='1.0' WHERE "
                 "key='schemaVersion'");

    {
        auto container = openAt(path);
        ASSERT_TRUE(container.ok()) << qPrintable(container.message());
        EXPECT_EQ(container.value()->mainContext().count(TodoPredicate::all()).valueOr(-1), 3);
    }
    EXPECT_EQ(indexes(), current);
}
