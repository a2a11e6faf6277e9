#include "scriptedfetcher.h"

#include "updates/checkforupdatesviewmodel.h"
#include "updates/updater.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;

namespace {

QByteArray feedOf(const QString &item) {
    return (QStringLiteral(R"(<rss version="2.0" xmlns:qb="https://quillbrook.example/a">)"
                           "<channel>%1</channel></rss>")
                .arg(item))
        .toUtf8();
}

const QByteArray feedWithVersion2 = feedOf(QStringLiteral(
    "<item><qb:version>200</qb:version><qb:shortVersionString>2.0</qb:shortVersionString>"
    "<qb:releaseNotesLink>https://quillbrook.example/notes/2.0</qb:releaseNotesLink>"
    R"(<enclosure url="https://quillbrook.example/2.0.tar.gz"/></item>)"));
const QByteArray feedWithRunningVersion =
    feedOf(QStringLiteral("<item><qb:version>1.5</qb:version></item>"));

class CheckForUpdates : public ::testing::Test {
protected:
    void SetUp() override {
        UpdaterConfig config;
        config.feedUrl = QUrl(QStringLiteral("https://quillbrook.example/feed"));
        config.currentVersion = QStringLiteral("1.5");
        config.firstCheckDelay = 30s;
        updater =
            std::make_unique<Updater>(config, std::make_unique<test::ScriptedFetcher>(fetcher),
                                      std::make_unique<test::ManualTimer>(timer));
        viewModel = std::make_unique<CheckForUpdatesViewModel>(updater.get());
        finished = std::make_unique<QSignalSpy>(viewModel.get(),
                                                &CheckForUpdatesViewModel::userCheckFinished);
        changed = std::make_unique<QSignalSpy>(viewModel.get(),
                                               &CheckForUpdatesViewModel::outcomeChanged);
    }

    // What the user sees after asking for a check that the feed answers with `result`.
    void userCheckAnswered(const FetchResult &result) {
        ASSERT_TRUE(viewModel->checkForUpdates());
        test::answer(*fetcher, result);
    }

    std::shared_ptr<test::ScriptedFetcher::State> fetcher =
        std::make_shared<test::ScriptedFetcher::State>();
    std::shared_ptr<test::ManualTimer::State> timer = std::make_shared<test::ManualTimer::State>();
    std::unique_ptr<Updater> updater;
    std::unique_ptr<CheckForUpdatesViewModel> viewModel;
    std::unique_ptr<QSignalSpy> finished;
    std::unique_ptr<QSignalSpy> changed;
};

} // namespace

TEST_F(CheckForUpdates, theMenuItemMirrorsTheUpdaterAndIsOffWhileChecking) {
    QSignalSpy spy(viewModel.get(), &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
    EXPECT_TRUE(viewModel->canCheckForUpdates());

    EXPECT_TRUE(viewModel->checkForUpdates());
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    EXPECT_FALSE(viewModel->checkForUpdates()); // the item is off, and so is the command
    EXPECT_EQ(fetcher->requested.size(), 1);
    test::answer(*fetcher, {{}, QStringLiteral("offline")});
    EXPECT_TRUE(viewModel->canCheckForUpdates());
    EXPECT_EQ(spy.count(), 2);

    updater.reset();
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    EXPECT_FALSE(viewModel->checkForUpdates()); // harmless without an updater
}

TEST_F(CheckForUpdates, theMenuItemStaysOffWithoutAFeed) {
    Updater noFeed({}, std::make_unique<test::ScriptedFetcher>(fetcher), nullptr);
    CheckForUpdatesViewModel model(&noFeed);
    EXPECT_FALSE(model.canCheckForUpdates());
    EXPECT_FALSE(model.checkForUpdates());
    EXPECT_TRUE(model.outcomeKind().isEmpty());
}

TEST_F(CheckForUpdates, nothingIsShownBeforeACheckEnds) {
    EXPECT_TRUE(viewModel->outcomeKind().isEmpty());
    viewModel->checkForUpdates();
    EXPECT_TRUE(viewModel->outcomeKind().isEmpty());
    EXPECT_EQ(finished->count(), 0);
}

TEST_F(CheckForUpdates, upToDateNamesTheRunningVersion) {
    userCheckAnswered({feedWithRunningVersion, {}});
    EXPECT_EQ(finished->count(), 1);
    EXPECT_EQ(viewModel->outcomeKind(), u"upToDate");
    EXPECT_EQ(viewModel->outcomeTitle(), u"You’re up to date");
    EXPECT_EQ(viewModel->outcomeMessage(), u"Quill Brook 1.5 is the newest version.");
    EXPECT_TRUE(viewModel->releaseNotesUrl().isEmpty());
    EXPECT_TRUE(viewModel->downloadUrl().isEmpty());
}

TEST_F(CheckForUpdates, aNewerVersionShowsItsShortVersionNotesAndDownload) {
    userCheckAnswered({feedWithVersion2, {}});
    EXPECT_EQ(finished->count(), 1);
    EXPECT_EQ(viewModel->outcomeKind(), u"updateAvailable");
    EXPECT_EQ(viewModel->outcomeTitle(), u"A new version is available");
    EXPECT_EQ(viewModel->outcomeMessage(), u"Quill Brook 2.0 is available — you have 1.5.");
    EXPECT_EQ(viewModel->releaseNotesUrl().toString(), u"https://quillbrook.example/notes/2.0");
    EXPECT_EQ(viewModel->downloadUrl().toString(), u"https://quillbrook.example/2.0.tar.gz");
}

TEST_F(CheckForUpdates, aNewerVersionWithoutAShortVersionShowsItsVersion) {
    userCheckAnswered({feedOf(QStringLiteral("<item><qb:version>1.6</qb:version></item>")), {}});
    EXPECT_EQ(viewModel->outcomeMessage(), u"Quill Brook 1.6 is available — you have 1.5.");
    EXPECT_TRUE(viewModel->releaseNotesUrl().isEmpty());
    EXPECT_TRUE(viewModel->downloadUrl().isEmpty());
}

TEST_F(CheckForUpdates, aFailureShowsWhatWentWrong) {
    userCheckAnswered({{}, QStringLiteral("The update server could not be found.")});
    EXPECT_EQ(viewModel->outcomeKind(), u"failed");
    EXPECT_EQ(viewModel->outcomeTitle(), u"Couldn’t check for updates");
    EXPECT_EQ(viewModel->outcomeMessage(), u"The update server could not be found.");

    userCheckAnswered({QByteArrayLiteral("<rss><channel></channel></rss>"), {}});
    EXPECT_EQ(viewModel->outcomeKind(), u"failed");
    EXPECT_EQ(viewModel->outcomeMessage(), u"The update feed lists no releases.");
    EXPECT_EQ(finished->count(), 2);
}

TEST_F(CheckForUpdates, aLaterCheckReplacesTheLinksOfAnEarlierOne) {
    userCheckAnswered({feedWithVersion2, {}});
    userCheckAnswered({{}, QStringLiteral("offline")});
    EXPECT_TRUE(viewModel->releaseNotesUrl().isEmpty());
    EXPECT_TRUE(viewModel->downloadUrl().isEmpty());
    EXPECT_EQ(changed->count(), 2);
}

TEST_F(CheckForUpdates, backgroundChecksNeitherAnnounceNorChangeTheOutcome) {
    userCheckAnswered({feedWithRunningVersion, {}});
    ASSERT_EQ(finished->count(), 1);
    changed->clear();

    updater->start();
    for (const auto &answer :
         {FetchResult{feedWithVersion2, {}}, FetchResult{{}, QStringLiteral("offline")}}) {
        ASSERT_TRUE(test::fire(*timer));
        test::answer(*fetcher, answer);
    }
    EXPECT_EQ(fetcher->requested.size(), 3);
    EXPECT_EQ(finished->count(), 1);
    EXPECT_EQ(changed->count(), 0);
    EXPECT_EQ(viewModel->outcomeKind(), u"upToDate");

    // The user's next check is announced again.
    userCheckAnswered({feedWithVersion2, {}});
    EXPECT_EQ(finished->count(), 2);
    EXPECT_EQ(viewModel->outcomeKind(), u"updateAvailable");
}
