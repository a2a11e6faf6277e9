#include "widgetsnapshotwriter.h"

#include "todaysnapshot.h"
#include "widgethost.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace qb {

WidgetSnapshotWriter::WidgetSnapshotWriter(QString folder, WidgetHost &host, Clock clock,
                                           Calendar calendar)
    : m_folder(std::move(folder))
    , m_host(host)
    , m_clock(std::move(clock))
    , m_calendar(std::move(calendar)) {}

QString WidgetSnapshotWriter::snapshotPath() const {
    return snapshotPath(m_folder);
}

QString WidgetSnapshotWriter::snapshotPath(const QString &folder) {
    return QDir(folder).filePath(QStringLiteral("today.json"));
}

void WidgetSnapshotWriter::refresh(ModelContext &context) {
    const TodaySnapshot snapshot = TodaySnapshot::build(context, m_clock, m_calendar);
    writeSnapshot(snapshot.toJson());
    m_host.reloadAllTimelines();
}

namespace {

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

bool WidgetSnapshotWriter::writeSnapshot(const QByteArray &json) const {
    // Written beside the target and put in its place in one step, so a reader sees the old
    // file or the new one, never half of one. Unlike the store it is not flushed to disk: the
    // snapshot is derived data, rebuilt at every start and activation, and a flush per save
    // would cost more than the save itself. A snapshot that cannot be written leaves the
    // previous one.
    const QString target = snapshotPath();
    const QString temporary = target + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool written = file.write(json) == json.size();
    file.close();
    if (!written || !replaceFile(QFile::encodeName(temporary), QFile::encodeName(target))) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

} // namespace qb
