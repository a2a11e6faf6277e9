#include "datafiles.h"
#include "localfeedserver.h"
#include "platform/networkfeedfetcher.h"
#include "tempstore.h"

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
        server.serveFeed("/same", feedOf("1.9"));
        server.serveFeed("/huge", QByteArray(2 * 1024 * 1024, 'x'));
        server.serve("/huge-unannounced",
                     {.body = QByteArray(2 * 1024 * 1024, 'x'), .announceLength = false});
        server.serve("/slow", {.neverAnswer = true});
        server.serve("/to-http", {.head = "HTTP/1.0 302 Found\r\nLocation: " +
                                          server.url("/same").toEncoded() + "\r\n"});
        server.serve("/server-error", {.head = "HTTP/1.0 500 Internal Server Error\r\n"});
    }

    // Fetches and runs the event loop until the completion, which must come exactly once.
    FetchResult fetch(const QUrl &url) {
        NetworkFeedFetcher fetcher({.timeout = 250ms});
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

    test::LocalFeedServer server;
};

} // namespace

TEST_F(NetworkFeedFetcherTest, deliversTheBodyOfAnHttpOrFileFeed) {
    EXPECT_EQ(fetch(server.url("/same")).body, feedOf("1.9"));
    test::TempFolder folder;
    const QString feed = folder.filePath(u"appcast.xml"_s);
    test::rewriteFile(feed, feedOf("2.0"));
    EXPECT_EQ(fetch(QUrl::fromLocalFile(feed)).body, feedOf("2.0"));
}

// Oversized bodies, announced or not, a silent server, a redirect to plain http, errors, a refused
// connection, a missing file, and an insecure address that is never connected to.
TEST_F(NetworkFeedFetcherTest, eachFailureHasItsOwnMessageAndNoBody) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QUrl refused(u"http://127.0.0.1:%1/feed"_s.arg(closed.serverPort()));
    closed.close();
    const std::pair<QUrl, QString> cases[] = {
        {server.url("/huge"), u"The update feed is too large."_s},
        {server.url("/huge-unannounced"), u"The update feed is too large."_s},
        {server.url("/slow"), u"The update server did not answer in time."_s},
        {server.url("/to-http"), u"The update feed redirected to an insecure address."_s},
        {server.url("/server-error"), u"The update server answered with error 500."_s},
        {server.url("/missing"), u"The update server answered with error 404."_s},
        {refused, u"The update server refused the connection."_s},
        {QUrl::fromLocalFile(u"/nonexistent/appcast.xml"_s), u"The update feed was not found."_s},
        {QUrl(u"http://quillbrook.example/feed"_s),
         u"Update feeds must use a secure (https) address."_s},
    };
    for (const auto &[url, message] : cases) {
        const FetchResult result = fetch(url);
        EXPECT_EQ(result.error, message) << url.toString().toStdString();
        EXPECT_TRUE(result.body.isEmpty());
    }
}

TEST_F(NetworkFeedFetcherTest, destroyingTheFetcherDropsThePendingCompletion) {
    bool called = false;
    {
        NetworkFeedFetcher fetcher({.timeout = 50ms});
        fetcher.fetch(server.url("/slow"), [&](const FetchResult &) { called = true; });
        QTest::qWait(10);
    }
    QTest::qWait(100); // past the deadline the request would have had
    EXPECT_FALSE(called);
}
