#include "updates/appcast.h"
#include "updates/feedurlpolicy.h"
#include "updates/updateoutcome.h"
#include "updates/version.h"

#include "golden.h"

#include <gtest/gtest.h>

using namespace qb;
using namespace Qt::Literals::StringLiterals;

// Each line of the golden file is "version | other | how the first compares | how the other
// does": components compare as numbers, padding zeros do not count.
TEST(Version, comparesComponentsNumericallyIgnoringPaddingZerosAndWhiteSpace) {
    const auto order = [](const QString &version, const QString &other) {
        const int sign = compareVersions(version, other);
        return sign < 0 ? u"older"_s : sign > 0 ? u"newer"_s : u"same"_s;
    };
    test::expectGolden(QB_UPDATES_DATA "/versions.txt", 4, 2, [&](const QStringList &fields) {
        return order(fields[0], fields[1]) + u" | "_s + order(fields[1], fields[0]);
    });
    EXPECT_EQ(compareVersions(u" 3.1 ", u"3.1"), 0);
}

// Each line of the golden file is "address | as a feed | as a redirect": feeds come over HTTPS,
// from a file or over HTTP from this machine only, and redirects stay on HTTPS.
TEST(FeedUrlPolicy, allowsHttpsFilesAndLoopbackHttpOnlyAndRedirectsOnlyToHttps) {
    const auto word = [](bool allowed) { return allowed ? u"allowed"_s : u"refused"_s; };
    test::expectGolden(QB_UPDATES_DATA "/feedurls.txt", 3, 2, [&](const QStringList &fields) {
        const QUrl url(fields[0]);
        return word(isAllowedFeedUrl(url)) + u" | "_s + word(isAllowedFeedRedirect(url));
    });
    EXPECT_FALSE(isAllowedFeedUrl(QUrl()));
}

namespace {

QByteArray twoReleases() {
    return test::dataFile(QB_UPDATES_DATA "/tworeleases.xml");
}

} // namespace

TEST(Appcast, readsVersionsFromElementsOrEnclosureAttributes) {
    const AppcastParse parsed = parseAppcast(twoReleases());
    ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
    ASSERT_EQ(parsed.items.size(), 2);
    EXPECT_EQ(parsed.items[0].version, u"19");
    EXPECT_EQ(parsed.items[0].shortVersion, u"1.9");
    EXPECT_TRUE(parsed.items[0].releaseNotesUrl.isEmpty());
    EXPECT_EQ(parsed.items[1].version, u"110");
    EXPECT_EQ(parsed.items[1].shortVersion, u"1.10");
    EXPECT_EQ(parsed.items[1].releaseNotesUrl.toString(), u"https://quillbrook.example/notes/1.10");
    EXPECT_EQ(parsed.items[1].downloadUrl.toString(), u"https://quillbrook.example/1.10.tar.gz");
}

TEST(Appcast, fallsBackToTheItemLinkAndDropsNonWebLinks) {
    const AppcastParse parsed = parseAppcast(test::dataFile(QB_UPDATES_DATA "/unsafelinks.xml"));
    ASSERT_EQ(parsed.items.size(), 2);
    EXPECT_EQ(parsed.items[0].downloadUrl.toString(), u"https://quillbrook.example/get");
    EXPECT_TRUE(parsed.items[0].releaseNotesUrl.isEmpty());
    EXPECT_TRUE(parsed.items[1].downloadUrl.isEmpty());
}

TEST(Appcast, rejectsMalformedOrForeignDocuments) {
    // The data file holds one document a line; the empty document is the first case.
    for (const QByteArray &bad :
         QByteArrayList{QByteArray()} + test::dataLines(QB_UPDATES_DATA "/notfeeds.txt")) {
        const AppcastParse parsed = parseAppcast(bad);
        EXPECT_FALSE(parsed.ok()) << bad.toStdString();
        EXPECT_TRUE(parsed.items.isEmpty());
    }
}

// The newest release wins whatever its place in the feed, until the running version reaches it.
TEST(UpdateOutcome, theNewestReleaseIsAvailableUntilTheRunningVersionReachesIt) {
    const auto outcome = outcomeForFeed(twoReleases(), QStringLiteral("19"));
    const auto *available = std::get_if<UpdateAvailable>(&outcome);
    ASSERT_NE(available, nullptr);
    EXPECT_EQ(available->version, u"110");
    EXPECT_EQ(available->downloadUrl.toString(), u"https://quillbrook.example/1.10.tar.gz");
    for (const char *current : {"110", "110.0", "200"}) {
        const auto newest = outcomeForFeed(twoReleases(), QString::fromLatin1(current));
        const auto *upToDate = std::get_if<UpToDate>(&newest);
        ASSERT_NE(upToDate, nullptr) << current;
        EXPECT_EQ(upToDate->currentVersion, QString::fromLatin1(current));
    }
}

TEST(UpdateOutcome, emptyOrUnreadableFeedsAreFailuresWithAMessage) {
    for (const QByteArray &feed :
         {QByteArray("<rss version=\"2.0\"><channel><title>x</title></channel></rss>"),
          QByteArray("<rss><channel><item>")}) {
        const auto outcome = outcomeForFeed(feed, QStringLiteral("1"));
        const auto *failed = std::get_if<UpdateCheckFailed>(&outcome);
        ASSERT_NE(failed, nullptr);
        EXPECT_FALSE(failed->message.isEmpty());
    }
}
