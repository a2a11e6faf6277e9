#include "sync/networktransport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::Literals::StringLiterals;

using namespace qb::sync;
using namespace std::chrono_literals;

namespace {

// A server on loopback that misbehaves once a request's headers have arrived: it sends the
// given status line and headers, then `chunk` again and again for as long as the socket takes
// it (an answer that never ends), or nothing at all.
class HostileServer {
public:
    explicit HostileServer(QByteArray head, QByteArray chunk = {})
        : m_head(std::move(head))
        , m_chunk(std::move(chunk)) {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n") || m_head.isEmpty())
                        return;
                    socket->write(m_head);
                    if (!m_chunk.isEmpty())
                        QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                                         [this, socket] { socket->write(m_chunk); });
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/"_s.arg(m_server.serverPort())); }

private:
    QTcpServer m_server;
    QByteArray m_head;
    QByteArray m_chunk;
};

std::optional<HttpResponse> sendAndWait(NetworkTransport &transport, const QUrl &url) {
    std::optional<HttpResponse> answer;
    QEventLoop loop;
    transport.send({"PROPFIND", url, {}, {}}, [&](const HttpResponse &response) {
        answer = response;
        loop.quit();
    });
    // A bound for the test itself, far above the limits under test.
    QTimer::singleShot(10s, &loop, &QEventLoop::quit);
    loop.exec();
    return answer;
}

} // namespace

TEST(NetworkTransportLimits, answersTooLargeOrNeverFinishedAreCutOff) {
    // A stall limit far above a slow machine's gaps between chunks, for the size limits; the
    // short one is tried on its own below.
    NetworkTransport transport(NetworkTransport::Limits{5s, 1024 * 1024});

    // Announced as too large: refused before the body is read.
    HostileServer announced("HTTP/1.1 207 Multi-Status\r\nContent-Length: 5000000000\r\n\r\n",
                            QByteArray(64 * 1024, 'x'));
    auto answer = sendAndWait(transport, announced.url());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, 0);
    EXPECT_EQ(answer->error, u"The server's answer is too large."_s);

    // An answer with no length that never ends: cut off at the cap.
    HostileServer endless("HTTP/1.1 207 Multi-Status\r\nConnection: close\r\n\r\n",
                          QByteArray(64 * 1024, '<'));
    answer = sendAndWait(transport, endless.url());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->error, u"The server's answer is too large."_s);
    EXPECT_TRUE(answer->body.isEmpty());

    // A server that takes the request and never answers: given up after the stall limit.
    HostileServer silent{QByteArray()};
    NetworkTransport impatient(NetworkTransport::Limits{300ms, 1024 * 1024});
    QElapsedTimer waited;
    waited.start();
    answer = sendAndWait(impatient, silent.url());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->error, u"The server stopped answering."_s);
    EXPECT_LT(waited.elapsed(), 5000);
}
