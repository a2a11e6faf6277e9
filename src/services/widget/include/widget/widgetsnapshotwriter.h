#pragma once

#include "model/calendar.h"
#include "model/clock.h"

#include <QByteArray>
#include <QString>

namespace qb {

class ModelContext;
class WidgetHost;

// Refreshes the desktop widget: writes the Today snapshot to `today.json` in the store folder
// (replaced in one rename), then asks the host to reload. The reload request is made whatever
// happened before it; nothing is reported.
class WidgetSnapshotWriter {
public:
    WidgetSnapshotWriter(QString folder, WidgetHost &host, Clock clock, Calendar calendar);

    void refresh(ModelContext &context);
    QString snapshotPath() const;
    // Where the snapshot of the store in `folder` is written: `today.json` beside the store.
    static QString snapshotPath(const QString &folder);

private:
    bool writeSnapshot(const QByteArray &json) const;

    QString m_folder;
    // Encoded once: the snapshot is written after every save.
    QByteArray m_target;
    QByteArray m_temporary;
    WidgetHost &m_host;
    Clock m_clock;
    Calendar m_calendar;
};

} // namespace qb
