#include "radicaleserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

namespace qb::tools {

QString RadicaleServer::storageRoot() {
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const QString base =
        memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    return base + QStringLiteral("/quillbrook-radicale-XXXXXX");
}

RadicaleServer::RadicaleServer(const QString &password) {
    QStringList arguments = {QStringLiteral("-C"),
                             QStringLiteral("/dev/null"),
                             QStringLiteral("--server-hosts"),
                             QStringLiteral("127.0.0.1:0"),
                             QStringLiteral("--rights-type"),
                             QStringLiteral("owner_only"),
                             QStringLiteral("--storage-filesystem-folder"),
                             m_folder.filePath(QStringLiteral("storage")),
                             QStringLiteral("--web-type"),
                             QStringLiteral("none"),
                             QStringLiteral("--logging-level"),
                             QStringLiteral("info")};
    if (password.isEmpty()) {
        arguments << QStringLiteral("--auth-type") << QStringLiteral("none");
    } else {
        QFile users(m_folder.filePath(QStringLiteral("users")));
        if (users.open(QIODevice::WriteOnly))
            users.write("alice:" + password.toUtf8() + "\n");
        arguments << QStringLiteral("--auth-type") << QStringLiteral("htpasswd")
                  << QStringLiteral("--auth-htpasswd-filename") << users.fileName()
                  << QStringLiteral("--auth-htpasswd-encryption") << QStringLiteral("plain")
                  << QStringLiteral("--auth-delay") << QStringLiteral("0");
    }
    // Its log goes to a file: a pipe nobody reads while a test waits would fill and stall it.
    const QString logPath = m_folder.filePath(QStringLiteral("radicale.log"));
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(logPath);
    // The server goes with the program that started it, even one that crashed or was killed.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(QStringLiteral("radicale"), arguments);
    if (!m_process.waitForStarted(5000)) {
        m_failure = QStringLiteral("radicale did not start: ") + m_process.errorString();
        return;
    }
    // The port it chose is in its log.
    const QRegularExpression listening(
        QStringLiteral("Listening on '\\[127\\.0\\.0\\.1\\]:(\\d+)'"));
    QByteArray log;
    QDeadlineTimer deadline(10000);
    QFile logFile(logPath);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForFinished(20);
        if (logFile.isOpen() || logFile.open(QIODevice::ReadOnly))
            log += logFile.readAll();
        const auto match = listening.match(QString::fromUtf8(log));
        if (match.hasMatch() && log.contains("ready")) {
            m_port = match.captured(1).toInt();
            return;
        }
    }
    m_failure = QStringLiteral("radicale did not come up: ") + QString::fromUtf8(log);
}

RadicaleServer::~RadicaleServer() {
    stop();
}

void RadicaleServer::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    m_port = 0;
}

QUrl RadicaleServer::root() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port));
}

QString RadicaleServer::folderOf(const QString &path) const {
    return m_folder.filePath(QStringLiteral("storage/collection-root")) + path;
}

int RadicaleServer::objectCount() const {
    int count = 0;
    QDirIterator it(m_folder.filePath(QStringLiteral("storage/collection-root/alice")),
                    {QStringLiteral("*.ics")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

} // namespace qb::tools
