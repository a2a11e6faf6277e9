#include "golden.h"
#include "updaterfixture.h"

#include "updates/checkforupdatesviewmodel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray feedWithRunningVersion =
    test::feedOf(QStringLiteral("<item><qb:version>1.5</qb:version></item>"));

using test::feedWithVersion2;

class CheckForUpdates : public test::UpdaterFixture {
protected:
    // What the user sees after asking for a check that the feed answers with `result`.
    void userCheckAnswered(const FetchResult &result) {
        ASSERT_TRUE(viewModel->checkForUpdates());
        test::answer(*fetcher, result);
    }

    std::unique_ptr<Updater> updater = makeUpdater();
    std::unique_ptr<CheckForUpdatesViewModel> viewModel =
        std::make_unique<CheckForUpdatesViewModel>(updater.get());
    QSignalSpy finished{viewModel.get(), &CheckForUpdatesViewModel::userCheckFinished};
    QSignalSpy changed{viewModel.get(), &CheckForUpdatesViewModel::outcomeChanged};
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

// Each line of the golden file is what the dialog shows after one answer of the feed, in the
// order below: "kind | title | message | release notes | download", "none" for no link.
TEST_F(CheckForUpdates, eachOutcomeShowsItsTitleMessageAndLinksOnlyOnceTheCheckEnds) {
    viewModel->checkForUpdates();
    EXPECT_TRUE(viewModel->outcomeKind().isEmpty());
    test::answer(*fetcher, {feedWithRunningVersion, {}});

    const auto orNone = [](const QUrl &url) { return url.isEmpty() ? u"none"_s : url.toString(); };
    QString shown;
    for (const FetchResult &answer :
         {FetchResult{feedWithRunningVersion, {}}, FetchResult{feedWithVersion2, {}},
          FetchResult{{}, u"The update server could not be found."_s}}) {
        finished.clear();
        userCheckAnswered(answer);
        EXPECT_EQ(finished.count(), 1);
        shown += QStringList{viewModel->outcomeKind(), viewModel->outcomeTitle(),
                             viewModel->outcomeMessage(), orNone(viewModel->releaseNotesUrl()),
                             orNone(viewModel->downloadUrl())}
                     .join(u" | "_s) +
                 u'\n';
    }
    EXPECT_EQ(shown, QString::fromUtf8(test::dataFile(QB_UPDATES_DATA "/outcomes.txt")));
}

TEST_F(CheckForUpdates, backgroundChecksNeitherAnnounceNorChangeTheOutcome) {
    userCheckAnswered({feedWithRunningVersion, {}});
    ASSERT_EQ(finished.count(), 1);
    changed.clear();

    updater->start();
    for (const auto &answer :
         {FetchResult{feedWithVersion2, {}}, FetchResult{{}, QStringLiteral("offline")}}) {
        ASSERT_TRUE(test::fire(*timer));
        test::answer(*fetcher, answer);
    }
    EXPECT_EQ(fetcher->requested.size(), 3);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(viewModel->outcomeKind(), u"upToDate");

    // The user's next check is announced again.
    userCheckAnswered({feedWithVersion2, {}});
    EXPECT_EQ(finished.count(), 2);
    EXPECT_EQ(viewModel->outcomeKind(), u"updateAvailable");
}
