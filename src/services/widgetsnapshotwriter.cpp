#include "widgetsnapshotwriter.h"

#include "todaysnapshot.h"
#include "widgethost.h"

#include <QDir>
#include <QSaveFile>

namespace qb {

WidgetSnapshotWriter::WidgetSnapshotWriter(QString folder, WidgetHost &host, Clock clock,
                                           Calendar calendar)
    : m_folder(std::move(folder))
    , m_host(host)
    , m_clock(std::move(clock))
    , m_calendar(std::move(calendar)) {}

QString WidgetSnapshotWriter::snapshotPath() const {
    return QDir(m_folder).filePath(QStringLiteral("today.json"));
}

void WidgetSnapshotWriter::refresh(ModelContext &context) {
    const TodaySnapshot snapshot = TodaySnapshot::build(context, m_clock, m_calendar);
    QSaveFile file(snapshotPath());
    // A snapshot that cannot be written leaves the previous one in place; the widget still
    // reloads and shows what it has.
    if (file.open(QIODevice::WriteOnly)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write(snapshot.toJson());
        if (!file.commit())
            file.cancelWriting();
    }
    m_host.reloadAllTimelines();
}

} // namespace qb
