#include "output.h"

#include <QString>

#include <cerrno>
#include <cstring>

namespace qb::cli {

bool Output::write(QByteArrayView bytes) {
    if (m_error != 0)
        return false;
    // An empty reply may have no data at all, which fwrite must not be given.
    if (bytes.isEmpty())
        return true;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), m_stream) !=
        std::size_t(bytes.size()))
        m_error = errno != 0 ? errno : EIO;
    return m_error == 0;
}

std::optional<CliError> Output::finish() {
    errno = 0;
    if (m_error == 0 && std::fflush(m_stream) != 0)
        m_error = errno != 0 ? errno : EIO;
    if (m_error == 0)
        return std::nullopt;
    return CliError::badInput(QStringLiteral("cannot write standard output: %1")
                                  .arg(QString::fromLocal8Bit(std::strerror(m_error))));
}

} // namespace qb::cli
