#include "updates/appcast.h"
#include "updates/feedurlpolicy.h"
#include "updates/updateoutcome.h"
#include "updates/version.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(Version, comparesComponentsNumericallyIgnoringPaddingZerosAndWhiteSpace) {
    const std::pair<const char *, const char *> ordered[] = {
        {"1.9", "1.10"},
        {"1.2", "1.2.1"},
        {"2", "10"},
        {"0.9.9", "1.0"},
        {"1.2b1", "1.2"},
        {"1.2b1", "1.2b2"},
        {"99999999999999999999", "100000000000000000000"}};
    for (const auto &[older, newer] : ordered) {
        EXPECT_LT(compareVersions(QString::fromLatin1(older), QString::fromLatin1(newer)), 0)
            << older << " < " << newer;
        EXPECT_GT(compareVersions(QString::fromLatin1(newer), QString::fromLatin1(older)), 0);
    }
    // Equal versions ignore padding zeros and white space.
    EXPECT_EQ(compareVersions(u"1.2", u"1.2.0"), 0);
    EXPECT_EQ(compareVersions(u"1.02", u"1.2"), 0);
    EXPECT_EQ(compareVersions(u" 3.1 ", u"3.1"), 0);
}

TEST(FeedUrlPolicy, allowsHttpsFilesAndLoopbackHttpOnlyAndRedirectsOnlyToHttps) {
    for (const char *allowed :
         {"https://example.org/appcast.xml", "file:///tmp/feed.xml", "http://127.0.0.1:8080/feed",
          "http://[::1]/feed", "http://localhost/feed"})
        EXPECT_TRUE(isAllowedFeedUrl(QUrl(QString::fromLatin1(allowed)))) << allowed;
    for (const char *refused : {"http://example.org/appcast.xml", "http://127.0.0.2/feed",
                                "http://localhost.example.org/", "ftp://example.org/feed",
                                "https:///nohost", "", "appcast.xml"})
        EXPECT_FALSE(isAllowedFeedUrl(QUrl(QString::fromLatin1(refused)))) << refused;
    // Redirects must stay on HTTPS.
    EXPECT_TRUE(isAllowedFeedRedirect(QUrl(QStringLiteral("https://mirror.example.org/feed"))));
    EXPECT_FALSE(isAllowedFeedRedirect(QUrl(QStringLiteral("http://127.0.0.1/feed"))));
    EXPECT_FALSE(isAllowedFeedRedirect(QUrl(QStringLiteral("file:///etc/passwd"))));
}

namespace {

const QByteArray twoReleases = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:qb="https://quillbrook.example/appcast">
  <channel>
    <title>Quill Brook</title>
    <item>
      <title>Version 1.9</title>
      <qb:version>19</qb:version>
      <qb:shortVersionString>1.9</qb:shortVersionString>
      <enclosure url="https://quillbrook.example/1.9.tar.gz" length="10" type="application/gzip"/>
    </item>
    <item>
      <title>Version 1.10</title>
      <link>https://quillbrook.example/download</link>
      <qb:releaseNotesLink>https://quillbrook.example/notes/1.10</qb:releaseNotesLink>
      <enclosure url="https://quillbrook.example/1.10.tar.gz" qb:version="110"
                 qb:shortVersionString="1.10" length="10" type="application/gzip"/>
    </item>
    <item><title>No version: left out</title></item>
  </channel>
</rss>)";

} // namespace

TEST(Appcast, readsVersionsFromElementsOrEnclosureAttributes) {
    const AppcastParse parsed = parseAppcast(twoReleases);
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
    const AppcastParse parsed = parseAppcast(R"xml(<rss version="2.0"><channel>
        <item><version>2</version><link>https://quillbrook.example/get</link>
              <releaseNotesLink>file:///etc/passwd</releaseNotesLink></item>
        <item><version>3</version><enclosure url="javascript:alert(1)"/></item>
        </channel></rss>)xml");
    ASSERT_EQ(parsed.items.size(), 2);
    EXPECT_EQ(parsed.items[0].downloadUrl.toString(), u"https://quillbrook.example/get");
    EXPECT_TRUE(parsed.items[0].releaseNotesUrl.isEmpty());
    EXPECT_TRUE(parsed.items[1].downloadUrl.isEmpty());
}

TEST(Appcast, rejectsMalformedOrForeignDocuments) {
    for (const QByteArray &bad :
         {QByteArray(""), QByteArray("not xml at all"), QByteArray("<rss><channel><item>"),
          QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"></feed>"),
          QByteArray("<rss><channel></channel></rss><rss/>"),
          QByteArray("<rss><channel><item><qb:version>1</qb:version></item></channel></rss>")}) {
        const AppcastParse parsed = parseAppcast(bad);
        EXPECT_FALSE(parsed.ok()) << bad.toStdString();
        EXPECT_TRUE(parsed.items.isEmpty());
    }
}

// The newest release wins whatever its place in the feed, until the running version reaches it.
TEST(UpdateOutcome, theNewestReleaseIsAvailableUntilTheRunningVersionReachesIt) {
    const auto outcome = outcomeForFeed(twoReleases, QStringLiteral("19"));
    const auto *available = std::get_if<UpdateAvailable>(&outcome);
    ASSERT_NE(available, nullptr);
    EXPECT_EQ(available->version, u"110");
    EXPECT_EQ(available->downloadUrl.toString(), u"https://quillbrook.example/1.10.tar.gz");
    for (const char *current : {"110", "110.0", "200"}) {
        const auto newest = outcomeForFeed(twoReleases, QString::fromLatin1(current));
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
