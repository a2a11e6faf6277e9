#include "base/privatefile.h"

#include "datafiles.h"
#include "scopedumask.h"
#include "tempstore.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace qb;

namespace {

mode_t modeOf(const QString &path) {
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    return status.st_mode & 07777;
}

} // namespace

TEST(PrivateFile, isOnlyTheOwnersWhateverTheUmaskAndKeepsWhatItHolds) {
    const test::ScopedUmask open(0);
    test::TempFolder home;
    const QString folder = home.filePath(QStringLiteral("config/Quillbrook"));
    const QString file = folder + QStringLiteral("/Quillbrook.conf");

    EXPECT_EQ(makePrivateFolder(folder), QString());
    EXPECT_EQ(modeOf(folder), mode_t(0700));
    EXPECT_EQ(makePrivateFile(file), QString());
    EXPECT_EQ(modeOf(file), mode_t(0600));

    // Made by an earlier version, or by hand, under a loose umask.
    test::rewriteFile(file, "kept=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    EXPECT_EQ(makePrivateFolder(folder), QString());
    EXPECT_EQ(makePrivateFile(file), QString());
    EXPECT_EQ(modeOf(folder), mode_t(0700));
    EXPECT_EQ(modeOf(file), mode_t(0600));
    EXPECT_EQ(test::dataFile(file), QByteArray("kept=1\n"));

    EXPECT_FALSE(makePrivateFile(home.filePath(QStringLiteral("missing/x.conf"))).isEmpty());
}
