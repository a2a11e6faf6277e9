#include "updaterfixture.h"

#include "preferences/preferences.h"

#include "tempstore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;

using UpdaterTest = test::UpdaterFixture;
using test::feedWithVersion2;

// One check at a time; a newer release or a failure is the outcome, and checking resumes.
// Destroyed mid-check, the updater drops the fetch.
TEST_F(UpdaterTest, aUserCheckReportsItsOutcomeChecksOneAtATimeAndEndsWithTheUpdater) {
    auto updater = makeUpdater();
    QSignalSpy canCheck(updater.get(), &Updater::canCheckForUpdatesChanged);
    QSignalSpy finished(updater.get(), &Updater::checkFinished);
    ASSERT_TRUE(updater->checkForUpdates());
    EXPECT_FALSE(updater->canCheckForUpdates());
    EXPECT_FALSE(updater->checkForUpdates());
    EXPECT_EQ(fetcher->requested.size(), 1);
    test::answer(*fetcher, {feedWithVersion2, {}});
    EXPECT_TRUE(updater->canCheckForUpdates());
    ASSERT_EQ(canCheck.count(), 2);
    EXPECT_FALSE(canCheck.at(0).at(0).toBool());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    const auto *available = std::get_if<UpdateAvailable>(&*updater->lastOutcome());
    ASSERT_NE(available, nullptr);
    EXPECT_EQ(available->shortVersion, u"2.0");

    ASSERT_TRUE(updater->checkForUpdates());
    test::answer(*fetcher, {{}, QStringLiteral("The update server did not answer in time.")});
    const auto *failed = std::get_if<UpdateCheckFailed>(&*updater->lastOutcome());
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->message, u"The update server did not answer in time.");
    EXPECT_TRUE(updater->checkForUpdates());

    updater.reset();
    EXPECT_TRUE(fetcher->destroyed);
    EXPECT_FALSE(fetcher->pending);
}

TEST_F(UpdaterTest, withoutAUsableFeedNothingEverChecks) {
    for (const char *feed : {"", "http://quillbrook.example/feed"}) {
        auto updater = makeUpdater(QString::fromLatin1(feed));
        updater->start();
        EXPECT_FALSE(updater->canCheckForUpdates()) << feed;
        EXPECT_FALSE(updater->checkForUpdates()) << feed;
        EXPECT_FALSE(timer->action) << feed;
    }
    EXPECT_TRUE(fetcher->requested.isEmpty());
}

TEST_F(UpdaterTest, checksShortlyAfterStartThenDailyAndNeverTwiceAtOnce) {
    auto updater = makeUpdater();
    QSignalSpy finished(updater.get(), &Updater::checkFinished);
    EXPECT_FALSE(timer->action); // nothing before start()
    updater->start();
    updater->start();
    EXPECT_EQ(timer->delay, 30s);

    ASSERT_TRUE(test::fire(*timer));
    EXPECT_TRUE(updater->isChecking());
    EXPECT_FALSE(timer->action); // the next one is planned when this one ends
    test::answer(*fetcher, {feedWithVersion2, {}});
    EXPECT_FALSE(finished.at(0).at(0).toBool()); // a background check
    EXPECT_EQ(timer->delay, 24h);

    ASSERT_TRUE(test::fire(*timer));
    EXPECT_EQ(fetcher->requested.size(), 2);
    test::answer(*fetcher, {feedWithVersion2, {}});

    // A daily check due while the user's check runs waits for its end.
    updater->checkForUpdates();
    ASSERT_TRUE(test::fire(*timer));
    EXPECT_EQ(fetcher->requested.size(), 3);
    EXPECT_FALSE(timer->action);
    test::answer(*fetcher, {feedWithVersion2, {}});
    EXPECT_TRUE(timer->action);
}

TEST(UpdaterConfig, preferencesCanOverrideTheFeed) {
    test::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("prefs.conf"));
    QSettings(path, QSettings::IniFormat)
        .setValue("updateFeedUrl", "https://quillbrook.example/beta.xml");
    EXPECT_EQ(UpdaterConfig::forThisBuild(Preferences(path)).feedUrl.toString(),
              u"https://quillbrook.example/beta.xml");
}
