#include "datafiles.h"
#include "faultvfs.h"
#include "storefiles.h"
#include "storefixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <sqlite3.h>

using namespace qb;
using qb::test::only;
using qb::test::StoreFixture;
using qb::test::titlesIn;

namespace {

// Puts `from` at `to` in one step, as a sync tool or a restore from a backup does.
void replaceWith(const QString &from, const QString &to) {
    ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0);
}

} // namespace

// The store file deleted or replaced at its path while the app runs: saves would go on into a
// file nobody can open again, lost at quit. The remote-change check notices and reopens the
// store at its path, keeping what was unsaved.
class MovedStoreFile : public StoreFixture {
protected:
    // An edit that a full disk kept from being saved.
    void editUnsaved(const TodoItemPtr &item, const QString &notes) {
        item->setNotes(notes);
        test::faultvfs::failWrite(1, SQLITE_FULL, true);
        EXPECT_FALSE(context().save().ok());
        test::faultvfs::disarm();
    }

    // What another process opening the file at the configured path finds.
    QStringList titlesOnDisk() {
        auto other = otherConnection();
        return other ? titlesIn(*other) : QStringList{QStringLiteral("cannot open")};
    }

    QStringList recoveryFiles() const {
        return QDir(folder.path()).entryList({QStringLiteral("*recovered*.store")}, QDir::Files);
    }

    // The one notice the remote-change check gives about the file; empty when it gives none.
    QString noticeOnCheck() {
        QSignalSpy notices(&context(), &ModelContext::storeFileNotice);
        EXPECT_TRUE(context().checkForRemoteChanges());
        EXPECT_EQ(notices.count(), 1);
        return notices.isEmpty() ? QString() : notices.first().first().toString();
    }
};

TEST_F(MovedStoreFile, deletedIsWrittenAgainAtItsPathWithSavedAndUnsavedChanges) {
    auto kept = addTodo(QStringLiteral("Saved before"));
    ASSERT_TRUE(context().save().ok());
    ASSERT_TRUE(QFile::remove(path()));
    addTodo(QStringLiteral("Saved after the deletion"));
    ASSERT_TRUE(context().save().ok());
    editUnsaved(kept, QStringLiteral("unsaved notes"));

    const QString notice = noticeOnCheck();
    EXPECT_TRUE(notice.contains(QStringLiteral("deleted")) && notice.contains(path()))
        << qPrintable(notice);

    EXPECT_EQ(container->configuration().path, path());
    EXPECT_EQ(titlesOnDisk(), QStringList({"Saved after the deletion", "Saved before"}));
    EXPECT_TRUE(recoveryFiles().isEmpty()) << qPrintable(recoveryFiles().join(u' '));
    // The same objects, with the edit still pending; the next save puts it in the new file.
    EXPECT_TRUE(kept->isInContext());
    EXPECT_TRUE(context().hasChanges());
    ASSERT_TRUE(context().save().ok());
    auto other = otherConnection();
    EXPECT_EQ(only(*other, QStringLiteral("Saved before"))->notes(),
              QStringLiteral("unsaved notes"));

    QSignalSpy notices(&context(), &ModelContext::storeFileNotice);
    EXPECT_FALSE(context().checkForRemoteChanges());
    EXPECT_EQ(notices.count(), 0);
}

// The other store is taken as it is (a restored backup, a copy from another machine): its
// version of a to-do both have wins, and the to-dos only the open file had are added to it.
TEST_F(MovedStoreFile, replacedByAnotherStoreIsUsedWithTheToDosOnlyTheOldFileHad) {
    auto shared = addTodo(QStringLiteral("Shared, ours"));
    auto mine = addTodo(QStringLiteral("Only ours"));
    mine->addSubtask(std::make_shared<Subtask>(QStringLiteral("step"), 0, now()));
    ASSERT_TRUE(context().save().ok());
    const QString theirsPath = folder.filePath(QStringLiteral("Theirs.store"));
    {
        auto theirs = test::openAt(theirsPath);
        ASSERT_TRUE(theirs.ok());
        auto copy = std::make_shared<TodoItem>(QStringLiteral("Shared, theirs"), TodoList::Later,
                                               QDateTime(), 0, now(), shared->id());
        theirs.value()->mainContext().insert(copy);
        theirs.value()->mainContext().insert(std::make_shared<TodoItem>(
            QStringLiteral("Only theirs"), TodoList::Later, QDateTime(), 1, now()));
        ASSERT_TRUE(theirs.value()->mainContext().save().ok());
    }
    replaceWith(theirsPath, path());
    editUnsaved(mine, QStringLiteral("unsaved notes"));

    const QString notice = noticeOnCheck();
    EXPECT_TRUE(notice.contains(QStringLiteral("replaced by another store")) &&
                notice.contains(QStringLiteral("one to-do")))
        << qPrintable(notice);

    EXPECT_EQ(titlesOnDisk(), QStringList({"Only ours", "Only theirs", "Shared, theirs"}));
    EXPECT_FALSE(shared->isInContext()); // their row of it is another record
    EXPECT_TRUE(mine->isInContext());
    ASSERT_TRUE(context().save().ok());
    auto other = otherConnection();
    const auto ours = only(*other, QStringLiteral("Only ours"));
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->notes(), QStringLiteral("unsaved notes"));
    EXPECT_EQ(ours->subtasks().size(), 1);
    EXPECT_TRUE(recoveryFiles().isEmpty());
}

TEST_F(MovedStoreFile, replacedByAFileThatIsNotAStoreIsLeftAloneAndTheStoreGoesOnBesideIt) {
    addTodo(QStringLiteral("Saved"));
    ASSERT_TRUE(context().save().ok());
    const QByteArray junk(8192, 'x');
    test::replaceFile(path(), junk);

    const QString notice = noticeOnCheck();
    ASSERT_EQ(recoveryFiles().size(), 1);
    const QString recovery = folder.filePath(recoveryFiles().first());
    EXPECT_TRUE(notice.contains(recovery)) << qPrintable(notice);
    EXPECT_EQ(container->configuration().path, recovery);

    addTodo(QStringLiteral("Saved later"));
    ASSERT_TRUE(context().save().ok());
    EXPECT_EQ(titlesOnDisk(), QStringList({"Saved", "Saved later"}));
    EXPECT_EQ(test::dataFile(path()), junk);
}
