#include "localfeedserver.h"
#include "sync/networktransport.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::Literals::StringLiterals;

using namespace qb::sync;
using namespace std::chrono_literals;

namespace {

std::optional<HttpResponse> sendAndWait(NetworkTransport &transport, const QUrl &url) {
    std::optional<HttpResponse> answer;
    transport.send({"PROPFIND", url, {}, {}},
                   [&](const HttpResponse &response) { answer = response; });
    // A bound for the test itself, far above the limits under test.
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
    return answer;
}

} // namespace

TEST(NetworkTransportLimits, answersTooLargeOrNeverFinishedAreCutOff) {
    // With no length and never ending, or never answered at all (an announced length is the
    // feed fetcher's case: both cut replies off the same way).
    qb::test::LocalFeedServer server;
    server.serve(u"/endless"_s, {.head = "HTTP/1.1 207 Multi-Status\r\nConnection: close\r\n",
                                 .body = QByteArray(64 * 1024, '<'),
                                 .announceLength = false,
                                 .endless = true});
    server.serve(u"/silent"_s, {.neverAnswer = true});

    // A stall limit far above a slow machine's gaps between chunks, for the size limits; the
    // short one is tried on its own.
    NetworkTransport transport(NetworkTransport::Limits{5s, 1024 * 1024});
    auto answer = sendAndWait(transport, server.url(u"/endless"_s));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, 0);
    EXPECT_EQ(answer->error, u"The server's answer is too large."_s);
    EXPECT_TRUE(answer->body.isEmpty());

    NetworkTransport impatient(NetworkTransport::Limits{300ms, 1024 * 1024});
    QElapsedTimer waited;
    waited.start();
    answer = sendAndWait(impatient, server.url(u"/silent"_s));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->error, u"The server stopped answering."_s);
    EXPECT_LT(waited.elapsed(), 5000);
}
