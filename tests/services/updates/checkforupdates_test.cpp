#include "updaterfixture.h"

#include "updates/checkforupdatesviewmodel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;

namespace {

const QByteArray feedWithRunningVersion =
    test::feedOf(QStringLiteral("<item><qb:version>1.5</qb:version></item>"));

using test::feedWithVersion2;

class CheckForUpdates : public test::UpdaterFixture {
protected:
    void SetUp() override {
        updater = makeUpdater();
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

    std::unique_ptr<Updater> updater;
    std::unique_ptr<CheckForUpdatesViewModel> viewModel;
    std::unique_ptr<QSignalSpy> finished;
    std::unique_ptr<QSignalSpy> changed;
};

} // namespace

// When the updater may check is its own rule; the menu item follows it, and goes off with it.
TEST_F(CheckForUpdates, theMenuItemMirrorsTheUpdater) {
    QSignalSpy spy(viewModel.get(), &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
    EXPECT_TRUE(viewModel->canCheckForUpdates());
    EXPECT_TRUE(viewModel->checkForUpdates());
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    test::answer(*fetcher, {{}, QStringLiteral("offline")});
    EXPECT_TRUE(viewModel->canCheckForUpdates());
    EXPECT_EQ(spy.count(), 2);

    updater.reset();
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    EXPECT_FALSE(viewModel->checkForUpdates()); // harmless without an updater
}

TEST_F(CheckForUpdates, eachOutcomeShowsItsTitleMessageAndLinksOnlyOnceTheCheckEnds) {
    viewModel->checkForUpdates();
    EXPECT_TRUE(viewModel->outcomeKind().isEmpty());
    test::answer(*fetcher, {feedWithRunningVersion, {}});

    const struct {
        FetchResult answer;
        const char16_t *kind, *title, *message, *notes, *download;
    } cases[] = {
        {{feedWithRunningVersion, {}},
         u"upToDate",
         u"You’re up to date",
         u"Quill Brook 1.5 is the newest version.",
         u"",
         u""},
        {{feedWithVersion2, {}},
         u"updateAvailable",
         u"A new version is available",
         u"Quill Brook 2.0 is available — you have 1.5.",
         u"https://quillbrook.example/notes/2.0",
         u"https://quillbrook.example/2.0.tar.gz"},
        {{{}, QStringLiteral("The update server could not be found.")},
         u"failed",
         u"Couldn’t check for updates",
         u"The update server could not be found.",
         u"",
         u""},
    };
    for (const auto &c : cases) {
        finished->clear();
        userCheckAnswered(c.answer);
        SCOPED_TRACE(QString::fromUtf16(c.message).toStdString());
        EXPECT_EQ(finished->count(), 1);
        EXPECT_EQ(viewModel->outcomeKind(), QStringView(c.kind));
        EXPECT_EQ(viewModel->outcomeTitle(), QStringView(c.title));
        EXPECT_EQ(viewModel->outcomeMessage(), QStringView(c.message));
        EXPECT_EQ(viewModel->releaseNotesUrl().toString(), QStringView(c.notes));
        EXPECT_EQ(viewModel->downloadUrl().toString(), QStringView(c.download));
    }
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
