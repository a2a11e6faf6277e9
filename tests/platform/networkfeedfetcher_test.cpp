#include "localfeedserver.h"
#include "platform/networkfeedfetcher.h"

#include "updates/updater.h"

#include "tempstore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace std::chrono_literals;

namespace {

QByteArray feedOf(const char *version) {
    return QByteArray(R"(<rss version="2.0" xmlns:qb="https://quillbrook.example/appcast">)"
                      "<channel><item><qb:version>") +
           version + "</qb:version><qb:shortVersionString>" + version +
           R"(</qb:shortVersionString><enclosure url="https://quillbrook.example/get"/>)"
           "</item></channel></rss>";
}

class NetworkFeedFetcherTest : public ::testing::Test {
protected:
    NetworkFeedFetcherTest() {
        server.serveFeed("/newer", feedOf("1.10"));
        server.serveFeed("/same", feedOf("1.9"));
        server.serveFeed("/malformed", "<rss><channel><item><title>oops</channel>");
        server.serveFeed("/empty",
                         R"(<rss version="2.0"><channel><title>x</title></channel></rss>)");
        server.serveFeed("/huge", QByteArray(2 * 1024 * 1024, 'x'));
        server.serve("/huge-unannounced",
                     {.body = QByteArray(2 * 1024 * 1024, 'x'), .announceLength = false});
        server.serve("/slow", {.neverAnswer = true});
        server.serve("/to-http", {.head = "HTTP/1.0 302 Found\r\nLocation: " +
                                          server.url("/newer").toEncoded() + "\r\n"});
        server.serve("/server-error", {.head = "HTTP/1.0 500 Internal Server Error\r\n"});
    }

    // Fetches and runs the event loop until the completion, which must come exactly once.
    FetchResult fetch(const QUrl &url, NetworkFeedFetcher::Limits limits = shortLimits()) {
        NetworkFeedFetcher fetcher(limits);
        int calls = 0;
        FetchResult result;
        fetcher.fetch(url, [&](const FetchResult &r) {
            ++calls;
            result = r;
        });
        EXPECT_EQ(calls, 0) << "the completion must not run inside fetch()";
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 5000));
        QTest::qWait(20); // a second call would show up here
        EXPECT_EQ(calls, 1);
        return result;
    }

    UpdateOutcome check(const QUrl &feed) {
        UpdaterConfig config;
        config.feedUrl = feed;
        config.currentVersion = u"1.9"_s;
        Updater updater(config, std::make_unique<NetworkFeedFetcher>(shortLimits()),
                        std::make_unique<QtSingleShotTimer>());
        QSignalSpy finished(&updater, &Updater::checkFinished);
        EXPECT_TRUE(updater.checkForUpdates());
        EXPECT_TRUE(finished.wait(5000));
        return updater.lastOutcome().value_or(UpdateCheckFailed{"no outcome"});
    }

    static NetworkFeedFetcher::Limits shortLimits() {
        NetworkFeedFetcher::Limits limits;
        limits.timeout = 250ms;
        return limits;
    }

    test::LocalFeedServer server;
};

QString failureOf(const UpdateOutcome &outcome) {
    const auto *failed = std::get_if<UpdateCheckFailed>(&outcome);
    return failed ? failed->message : QString();
}

} // namespace

TEST_F(NetworkFeedFetcherTest, deliversTheBodyOfAnAllowedFeed) {
    const FetchResult result = fetch(server.url("/same"));
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.body, feedOf("1.9"));
}

TEST_F(NetworkFeedFetcherTest, givesUpOnASlowServerAfterTheTimeout) {
    QElapsedTimer clock;
    clock.start();
    const FetchResult result = fetch(server.url("/slow"));
    EXPECT_EQ(result.error, u"The update server did not answer in time.");
    EXPECT_GE(clock.elapsed(), 200);
    EXPECT_LT(clock.elapsed(), 2000);
}

// Oversized bodies, announced or not, a redirect to plain http, errors, a refused connection, and
// insecure addresses that are never connected to.
TEST_F(NetworkFeedFetcherTest, eachFailureHasItsOwnMessageAndNoBody) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QUrl refused(u"http://127.0.0.1:%1/feed"_s.arg(closed.serverPort()));
    closed.close();
    const QString insecure = u"Update feeds must use a secure (https) address."_s;
    const std::pair<QUrl, QString> cases[] = {
        {server.url("/huge"), u"The update feed is too large."_s},
        {server.url("/huge-unannounced"), u"The update feed is too large."_s},
        {server.url("/to-http"), u"The update feed redirected to an insecure address."_s},
        {server.url("/server-error"), u"The update server answered with error 500."_s},
        {server.url("/missing"), u"The update server answered with error 404."_s},
        {refused, u"The update server refused the connection."_s},
        {QUrl(u"http://quillbrook.example/feed"_s), insecure},
        {QUrl(u"ftp://127.0.0.1/feed"_s), insecure},
        {QUrl(u"feed.xml"_s), insecure},
    };
    for (const auto &[url, message] : cases) {
        const FetchResult result = fetch(url);
        EXPECT_EQ(result.error, message) << url.toString().toStdString();
        EXPECT_TRUE(result.body.isEmpty());
    }
}

TEST_F(NetworkFeedFetcherTest, readsFileFeeds) {
    test::TempFolder folder;
    const QString path = folder.filePath(u"appcast.xml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(feedOf("2.0"));
    file.close();

    const UpdateOutcome outcome = check(QUrl::fromLocalFile(path));
    const auto *available = std::get_if<UpdateAvailable>(&outcome);
    ASSERT_NE(available, nullptr) << failureOf(outcome).toStdString();
    EXPECT_EQ(available->version, u"2.0");

    const FetchResult missing = fetch(QUrl::fromLocalFile(folder.filePath("none.xml")));
    EXPECT_FALSE(missing.ok());
}

TEST_F(NetworkFeedFetcherTest, destroyingTheFetcherDropsThePendingCompletion) {
    NetworkFeedFetcher::Limits limits;
    limits.timeout = 50ms;
    bool called = false;
    {
        NetworkFeedFetcher fetcher(limits);
        fetcher.fetch(server.url("/slow"), [&](const FetchResult &) { called = true; });
        QTest::qWait(10);
    }
    QTest::qWait(100); // past the deadline the request would have had
    EXPECT_FALSE(called);
}
