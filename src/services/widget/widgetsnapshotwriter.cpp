#include "widget/widgetsnapshotwriter.h"

#include "widget/todaysnapshot.h"
#include "widget/widgethost.h"

#include "base/filedescriptor.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {

WidgetSnapshotWriter::WidgetSnapshotWriter(QString folder, WidgetHost &host, Clock clock,
                                           Calendar calendar)
    : m_folder(std::move(folder))
    , m_target(QFile::encodeName(snapshotPath(m_folder)))
    , m_temporary(m_target + ".new")
    , m_host(host)
    , m_clock(std::move(clock))
    , m_calendar(std::move(calendar)) {}

QString WidgetSnapshotWriter::snapshotPath() const {
    return snapshotPath(m_folder);
}

QString WidgetSnapshotWriter::snapshotPath(const QString &folder) {
    return QDir(folder).filePath(QStringLiteral("today.json"));
}

namespace {

// Twelve titles fit easily; a larger file is not one of ours and is replaced.
constexpr qint64 largestSnapshotFile = 256 * 1024;

std::optional<QByteArray> readSnapshotFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestSnapshotFile)
        return std::nullopt;
    return file.read(largestSnapshotFile);
}

// What a file this writer wrote holds, told without parsing it: the snapshot it would write,
// stamped with the file's own moment, is the same bytes. Anything else (another program's
// layout, a damaged file) is nothing, and replaced.
std::optional<TodaySnapshot> sameSnapshotIn(const QByteArray &file, const TodaySnapshot &wanted) {
    const QByteArrayView key = ",\"generatedAt\":";
    const qsizetype at = file.lastIndexOf(key);
    if (at < 0 || !file.endsWith('}'))
        return std::nullopt;
    bool isNumber = false;
    const double seconds = file.sliced(at + key.size()).chopped(1).toDouble(&isNumber);
    const auto moment = isNumber ? TodaySnapshot::momentFromSeconds(seconds) : std::nullopt;
    if (!moment)
        return std::nullopt;
    TodaySnapshot stamped = wanted;
    stamped.generatedAt = *moment;
    if (stamped.toJson() != file)
        return std::nullopt;
    return stamped;
}

} // namespace

auto WidgetSnapshotWriter::identityOf(const struct ::stat &status) -> FileIdentity {
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

auto WidgetSnapshotWriter::identityOfTarget() const -> std::optional<FileIdentity> {
    struct stat status {};
    if (::stat(m_target.constData(), &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

std::optional<TodaySnapshot> WidgetSnapshotWriter::writtenSnapshot(const TodaySnapshot &wanted) {
    const auto before = identityOfTarget();
    if (!before) {
        m_seen.reset();
        return std::nullopt;
    }
    if (m_seen && m_seen->file == *before)
        return m_seen->snapshot;
    const auto bytes = readSnapshotFile(snapshotPath());
    const auto read = bytes ? sameSnapshotIn(*bytes, wanted) : std::nullopt;
    // Remembered only when the file did not change while it was read.
    if (read && identityOfTarget() == before)
        m_seen = Seen{*before, *read};
    else
        m_seen.reset();
    return read;
}

void WidgetSnapshotWriter::refresh(ModelContext &context) {
    const TodaySnapshot snapshot = TodaySnapshot::build(context, m_clock, m_calendar);
    // Most saves leave Today's first twelve as they were: the file is then left alone, unless
    // it was made on another day, which a reader may tell by its moment.
    const auto written = writtenSnapshot(snapshot);
    if (!written || written->totalCount != snapshot.totalCount ||
        written->items != snapshot.items ||
        !m_calendar.isSameDay(written->generatedAt, snapshot.generatedAt)) {
        m_seen.reset();
        if (const auto identity = writeSnapshot(snapshot.toJson()))
            m_seen = Seen{*identity, snapshot};
    }
    m_host.reloadAllTimelines();
}

namespace {

// A new file at `path`, readable and writable by the user alone (as far as the umask allows).
// A file left there by an interrupted write is removed first: it may have other permissions.
FileDescriptor createPrivateFile(const QByteArray &path) {
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    constexpr mode_t mode = S_IRUSR | S_IWUSR;
    const int fd = ::open(path.constData(), flags, mode);
    if (fd >= 0 || errno != EEXIST || ::unlink(path.constData()) != 0)
        return FileDescriptor(fd);
    return FileDescriptor(::open(path.constData(), flags, mode));
}

bool writeAll(int fd, const QByteArray &bytes) {
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

// Puts `from` in the place of `to` in one step. Where the file system can, the two are swapped
// and the old one removed afterwards: ext4 flushes a file renamed over another to disk first
// (milliseconds, more than the save it follows), but not one swapped with it.
bool replaceFile(const QByteArray &from, const QByteArray &to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0)
        return ::unlink(from.constData()) == 0 || errno == ENOENT;
    // No file to swap with yet, or a file system that cannot swap.
    return std::rename(from.constData(), to.constData()) == 0;
}

} // namespace

auto WidgetSnapshotWriter::writeSnapshot(const QByteArray &json) const
    -> std::optional<FileIdentity> {
    // Written beside the target and put in its place in one step, so a reader sees the old
    // file or the new one, never half of one. Unlike the store it is not flushed to disk: the
    // snapshot is derived data, rebuilt at every start and activation, and a flush per save
    // would cost more than the save itself. A snapshot that cannot be written leaves the
    // previous one.
    FileDescriptor file = createPrivateFile(m_temporary);
    if (!file.isOpen())
        return std::nullopt;
    struct stat status {};
    const bool written = writeAll(file.get(), json) && ::fstat(file.get(), &status) == 0;
    if (!file.close() || !written || !replaceFile(m_temporary, m_target)) {
        ::unlink(m_temporary.constData());
        return std::nullopt;
    }
    return identityOf(status);
}

} // namespace qb
