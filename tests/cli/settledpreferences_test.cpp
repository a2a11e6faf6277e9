#include "settledpreferences.h"

#include "store/persistence.h"
#include "sync/syncaccount.h"
#include "tempstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace qb;
using namespace Qt::Literals::StringLiterals;

namespace {

class SettledPreferences : public ::testing::Test {
protected:
    test::TempFolder folder;
    cli::PreferencesFiles files{
        folder.filePath(u"Quillbrook.conf"_s),
        {folder.filePath(u"fallback-a.conf"_s), folder.filePath(u"fallback-b.conf"_s)}};

    void write(const QByteArray &text, const QString &path = {}) {
        QFile file(path.isEmpty() ? files.user : path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    bool settled() const { return cli::preferencesAreSettled(files); }
};

} // namespace

// The file is written by QSettings itself, so a change in how it writes shows up here.
TEST_F(SettledPreferences, followTheFileAsQSettingsWritesIt) {
    EXPECT_FALSE(settled()) << "no file yet: the backfill has not run";
    {
        QSettings settings(files.user, QSettings::IniFormat);
        settings.setValue(QLatin1String(persistence::backfillFlagKey), true);
    }
    EXPECT_TRUE(settled());

    sync::SyncAccount account;
    account.server = QUrl(u"https://dav.example/"_s);
    account.user = u"ann"_s;
    account.collection = QUrl(u"https://dav.example/ann/list/"_s);
    {
        QSettings settings(files.user, QSettings::IniFormat);
        account.save(settings);
    }
    EXPECT_FALSE(settled()) << "an account: QSettings reads it";
    {
        QSettings settings(files.user, QSettings::IniFormat);
        sync::SyncAccount::clear(settings);
    }
    EXPECT_TRUE(settled()) << "signed out again";

    write("[General]\r\nscheduledDateBackfilled_v1=true\r\n");
    EXPECT_TRUE(settled()) << "line ends edited on another system";
}

TEST_F(SettledPreferences, anythingUncertainLeavesItToQSettings) {
    const QByteArray done = "[General]\nscheduledDateBackfilled_v1=true\n";
    const struct {
        QByteArray text;
        const char *why;
    } cases[] = {
        {"[General]\nscheduledDateBackfilled_v1=false\n", "backfill not done"},
        {"[General]\nscheduledDateBackfilled_v10=true\n", "another key"},
        {"[other]\nscheduledDateBackfilled_v1=true\n", "the flag in another group"},
        {done + "[sync]\n", "a sync group, even an empty one"},
        {done + QByteArray(70 * 1024, ';') + '\n', "larger than the few keys written"},
    };
    for (const auto &entry : cases) {
        SCOPED_TRACE(entry.why);
        write(entry.text);
        EXPECT_FALSE(settled());
    }

    write(done);
    ASSERT_TRUE(settled());
    write("[sync]\nuser=ann\n", files.fallbacks[1]);
    EXPECT_FALSE(settled()) << "a fallback file may hold an account";
    ASSERT_TRUE(QFile::remove(files.fallbacks[1]));

    // Not a file the program wrote, and nothing to wait for.
    ASSERT_TRUE(QFile::remove(files.user));
    ASSERT_EQ(::mkfifo(QFile::encodeName(files.user).constData(), 0600), 0);
    EXPECT_FALSE(settled()) << "a pipe";
}

TEST(PreferencesFiles, areTheOnesQSettingsReads) {
    QCoreApplication::setOrganizationName(u"Quillbrook"_s);
    QCoreApplication::setApplicationName(u"Quillbrook"_s);
    const cli::PreferencesFiles files = cli::PreferencesFiles::forThisProgram();
    EXPECT_EQ(files.user, QSettings().fileName());
    const QString system = QLibraryInfo::path(QLibraryInfo::SettingsPath);
    EXPECT_TRUE(files.fallbacks.contains(system + u"/Quillbrook/Quillbrook.conf"_s));
    EXPECT_TRUE(files.fallbacks.contains(system + u"/Quillbrook.conf"_s));
    EXPECT_EQ(files.fallbacks.size(), 3);
}
