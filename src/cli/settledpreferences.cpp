#include "settledpreferences.h"

#include "base/filedescriptor.h"
#include "store/persistence.h"
#include "sync/syncaccount.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb::cli {

namespace {

// The file of a few keys the app and the client write; anything larger is read by QSettings.
constexpr qsizetype largestSettledFile = 64 * 1024;

// Debian's Qt keeps system-wide settings here (QLibraryInfo::SettingsPath); asking QLibraryInfo
// would read qt.conf first, which is what this path exists to avoid.
constexpr auto systemSettingsFolder = "/etc/xdg";

bool mayExist(const QString &path) {
    return ::access(QFile::encodeName(path).constData(), F_OK) == 0 || errno != ENOENT;
}

// The whole of a small regular file. Anything else (a pipe, a device, a folder) is not one this
// program wrote; opening it does not wait for a writer.
std::optional<QByteArray> readSmallFile(const QString &path) {
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > largestSettledFile)
        return std::nullopt;
    QByteArray bytes(largestSettledFile + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got =
            ::read(file.get(), bytes.data() + filled, std::size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
    }
    // It may have grown since fstat looked.
    if (filled > largestSettledFile)
        return std::nullopt;
    bytes.truncate(filled);
    return bytes;
}

} // namespace

PreferencesFiles PreferencesFiles::forThisProgram() {
    const QString organization = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString systemFolder = QLatin1String(systemSettingsFolder);
    const auto appFile = [&](const QString &folder) {
        return folder + u'/' + organization + u'/' + application + QLatin1String(".conf");
    };
    const auto organizationFile = [&](const QString &folder) {
        return folder + u'/' + organization + QLatin1String(".conf");
    };
    return {appFile(userFolder),
            {organizationFile(userFolder), appFile(systemFolder), organizationFile(systemFolder)}};
}

bool preferencesAreSettled(const PreferencesFiles &files) {
    for (const QString &fallback : files.fallbacks) {
        if (mayExist(fallback))
            return false;
    }
    const auto text = readSmallFile(files.user);
    if (!text)
        return false;
    const QByteArray syncSection = QByteArray("[") + sync::SyncAccount::settingsGroup + ']';
    const QByteArray doneLine = QByteArray(persistence::backfillFlagKey) + "=true";
    // Keys before any section header are QSettings' top-level ones, like "[General]".
    bool topLevel = true;
    bool backfilled = false;
    const QByteArrayView all(*text);
    for (qsizetype start = 0; start < all.size();) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            end = all.size();
        QByteArrayView line = all.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[')) {
            if (line == syncSection)
                return false;
            topLevel = line == "[General]";
        } else if (topLevel && line == doneLine) {
            backfilled = true;
        }
    }
    return backfilled;
}

} // namespace qb::cli
