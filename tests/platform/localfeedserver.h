#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QUrl>

#include <chrono>

namespace qb::test {

// A tiny HTTP server on 127.0.0.1 with a free port, serving canned responses by path: once per
// connection, once the request line is in.
class LocalFeedServer {
public:
    struct Response {
        QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: application/rss+xml\r\n";
        QByteArray body{};
        bool announceLength = true;
        bool neverAnswer = false;
        // The body again and again for as long as the client takes it: an answer that never ends.
        bool endless = false;
    };

    LocalFeedServer();

    void serve(const QString &path, Response response) { m_routes.insert(path, response); }
    void serveFeed(const QString &path, const QByteArray &body) { serve(path, {.body = body}); }
    QUrl url(const QString &path) const;

private:
    void answer(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Response> m_routes;
};

} // namespace qb::test
