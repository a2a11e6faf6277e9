#include "platform/singleinstance.h"

#include "platform/instanceprotocol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace qb {

namespace {

// Longest path a Unix socket address holds, with room for the terminating zero.
constexpr qsizetype maximumSocketPathBytes = 100;

// Whether the process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr descriptor) {
#ifdef SO_PEERCRED
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 ||
        getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == geteuid();
#else
    Q_UNUSED(descriptor);
    return true; // the socket's folder and mode are the only guard here
#endif
}

// Reads one request from a client, answers it and closes; a client that is too slow, sends
// something else or runs as another user is dropped.
class Conversation : public QObject {
public:
    Conversation(QLocalSocket *socket, std::chrono::milliseconds limit, SingleInstance &owner)
        : QObject(socket)
        , m_socket(socket)
        , m_owner(owner) {
        connect(socket, &QLocalSocket::readyRead, this, &Conversation::read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(limit, this, [this] { m_socket->abort(); });
    }

private:
    void read() {
        using State = instanceprotocol::RequestReader::State;
        const State state = m_reader.append(m_socket->readAll());
        if (state == State::Invalid) {
            m_socket->abort();
        } else if (state == State::Complete && !m_answered) {
            m_answered = true;
            emit m_owner.activationRequested(m_reader.urls());
            m_socket->write(&instanceprotocol::accepted, 1);
            m_socket->disconnectFromServer();
        }
    }

    QLocalSocket *m_socket;
    SingleInstance &m_owner;
    instanceprotocol::RequestReader m_reader;
    bool m_answered = false;
};

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject *parent)
    : SingleInstance(std::move(socketPath), Timeouts{}, parent) {}

SingleInstance::SingleInstance(QString socketPath, Timeouts timeouts, QObject *parent)
    : QObject(parent)
    , m_path(std::move(socketPath))
    , m_timeouts(timeouts) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath(const QString &storeFolder) {
    const QFileInfo folder(storeFolder);
    QString canonical = folder.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(folder.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QStringLiteral("quillbrook-%1-%2.socket")
                             .arg(QString::number(geteuid()), QString::fromLatin1(hash));

    // The runtime folder is the user's own (0700); Qt makes a private one in the temporary
    // folder when the session has none.
    QString folderPath = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folderPath.isEmpty() ||
        QFile::encodeName(folderPath).size() + 1 + name.size() > maximumSocketPathBytes)
        folderPath = QDir::tempPath();
    return QDir(folderPath).filePath(name);
}

SingleInstance::Role SingleInstance::claim(const QStringList &urls) {
    m_error.clear();
    // Held while deciding, so two starts at once cannot both take over a stale socket (and
    // the second delete the first's).
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(int(m_timeouts.lock.count()))) {
        m_error = QStringLiteral("cannot lock %1").arg(lock.fileName());
        return Role::Unavailable;
    }
    QLocalSocket probe;
    probe.connectToServer(m_path);
    const bool running = probe.waitForConnected(int(m_timeouts.connect.count()));
    probe.abort();
    if (!running)
        return listen() ? Role::Primary : Role::Unavailable;
    lock.unlock();
    return forward(urls);
}

bool SingleInstance::listen() {
    // Whatever is left at the path belongs to no running instance: a crashed one's socket.
    QLocalServer::removeServer(m_path);
    if (m_server.listen(m_path))
        return true;
    m_error = QStringLiteral("cannot listen on %1: %2").arg(m_path, m_server.errorString());
    return false;
}

SingleInstance::Role SingleInstance::forward(const QStringList &urls) {
    qsizetype leftOut = 0;
    const QByteArray request = instanceprotocol::encode(urls, &leftOut);
    if (leftOut > 0)
        qWarning("quillbrook: %lld URLs over the limits were not passed on", qint64(leftOut));

    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(int(m_timeouts.connect.count()))) {
        m_error = socket.errorString();
        return Role::Unanswered;
    }
    if (!peerIsThisUser(socket.socketDescriptor())) {
        m_error = QStringLiteral("%1 belongs to another user").arg(m_path);
        return Role::Unavailable;
    }

    // The answer comes from the other process's event loop, or from this one's when both
    // ends live here; so wait in a local event loop rather than blocking.
    QEventLoop loop;
    QByteArray answer;
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        answer += socket.readAll();
        loop.quit();
    });
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(m_timeouts.answer);
    socket.write(request);
    loop.exec();
    answer += socket.readAll();
    if (answer.startsWith(instanceprotocol::accepted))
        return Role::Forwarded;
    m_error = deadline.isActive() ? QStringLiteral("the running instance closed the connection")
                                  : QStringLiteral("the running instance did not answer");
    return Role::Unanswered;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Conversation(socket, m_timeouts.request, *this);
    }
}

} // namespace qb
