#include "input.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qb::cli {

namespace {

constexpr qsizetype chunkSize = 1 << 16;

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString sizeText(qint64 bytes) {
    if (bytes % (qint64(1) << 30) == 0)
        return QStringLiteral("%1 GiB").arg(bytes >> 30);
    if (bytes % (qint64(1) << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 bytes").arg(bytes);
}

Input::Input(int fd, bool owned, QString name, qint64 limit, QString limitFor)
    : m_fd(fd)
    , m_owned(owned)
    , m_name(std::move(name))
    , m_limit(limit)
    , m_limitFor(std::move(limitFor))
    , m_buffer(chunkSize, Qt::Uninitialized) {}

Input::~Input() {
    if (m_owned)
        ::close(m_fd);
}

Outcome<std::unique_ptr<Input>> Input::open(const QString &path, qint64 limit,
                                            const QString &limitFor) {
    if (path == u"-")
        return std::unique_ptr<Input>(
            new Input(STDIN_FILENO, false, QStringLiteral("standard input"), limit, limitFor));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return CliError::badInput(QStringLiteral("cannot read %1: %2").arg(path, errorText(errno)));
    return std::unique_ptr<Input>(new Input(fd, true, path, limit, limitFor));
}

Outcome<QByteArrayView> Input::next() {
    // One byte past the limit is enough to know the input is longer than allowed.
    const qsizetype wanted = qsizetype(std::min<qint64>(chunkSize, m_limit + 1 - m_read));
    ssize_t got = 0;
    do {
        got = ::read(m_fd, m_buffer.data(), std::size_t(wanted));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return CliError::badInput(
            QStringLiteral("cannot read %1: %2").arg(m_name, errorText(errno)));
    m_read += got;
    if (m_read > m_limit)
        return CliError::badInput(QStringLiteral("%1 is longer than %2, the limit for %3")
                                      .arg(m_name, sizeText(m_limit), m_limitFor));
    return QByteArrayView(m_buffer.constData(), got);
}

Outcome<QByteArray> Input::readAll() {
    QByteArray all;
    for (;;) {
        auto chunk = next();
        if (!chunk)
            return chunk.error();
        if (chunk->isEmpty())
            return all;
        all += chunk.value();
    }
}

} // namespace qb::cli
