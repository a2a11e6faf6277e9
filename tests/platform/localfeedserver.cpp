#include "localfeedserver.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qb::test {

LocalFeedServer::LocalFeedServer() {
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { answer(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LocalFeedServer::url(const QString &path) const {
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path));
}

void LocalFeedServer::answer(QTcpSocket *socket) {
    if (!socket->canReadLine())
        return;
    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    const QList<QByteArray> requestLine = socket->readLine().split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    const auto route = m_routes.constFind(path);
    if (route == m_routes.cend()) {
        socket->write("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    if (route->neverAnswer)
        return;
    QByteArray head = route->head;
    if (route->announceLength)
        head += "Content-Length: " + QByteArray::number(route->body.size()) + "\r\n";
    socket->write(head + "\r\n" + route->body);
    if (route->endless)
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                         [socket, body = route->body] { socket->write(body); });
    else
        socket->disconnectFromHost();
}

} // namespace qb::test
