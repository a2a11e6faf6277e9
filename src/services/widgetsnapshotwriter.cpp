#include "widgetsnapshotwriter.h"

#include "todaysnapshot.h"
#include "widgethost.h"

#include <QDir>
#include <QFile>

#include <cstdio>

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

bool WidgetSnapshotWriter::writeSnapshot(const QByteArray &json) const {
    // Written beside the target and renamed over it, so a reader sees the old file or the new
    // one, never half of one. Unlike the store it is not flushed to disk first: the snapshot
    // is derived data, rebuilt at every start and activation, and a flush per save would cost
    // more than the save itself. A snapshot that cannot be written leaves the previous one.
    const QString target = snapshotPath();
    const QString temporary = target + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool written = file.write(json) == json.size();
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(),
                                QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

} // namespace qb
