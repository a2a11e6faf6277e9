#include "base/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {

namespace {

constexpr mode_t othersBits = S_IRWXG | S_IRWXO;

QString failure(const char *what, const QString &path) {
    return QStringLiteral("Cannot %1 %2: %3")
        .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Clears the group and other bits of what is at `native`.
QString tighten(const QByteArray &native, const QString &path) {
    struct stat status {};
    if (::stat(native.constData(), &status) != 0)
        return failure("read the permissions of", path);
    if ((status.st_mode & othersBits) != 0 &&
        ::chmod(native.constData(), status.st_mode & ~othersBits & 07777) != 0)
        return failure("change the permissions of", path);
    return {};
}

} // namespace

QString makePrivateFolder(const QString &folder) {
    const QString parent = QFileInfo(folder).absolutePath();
    if (!QFileInfo::exists(parent) && !QDir().mkpath(parent))
        return QStringLiteral("Cannot create %1").arg(parent);
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return failure("create", folder);
    return tighten(native, folder);
}

QString makePrivateFile(const QString &path, bool *created) {
    const QByteArray native = QFile::encodeName(path);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (created)
        *created = fd >= 0;
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EEXIST)
        return failure("create", path);
    return tighten(native, path);
}

} // namespace qb
