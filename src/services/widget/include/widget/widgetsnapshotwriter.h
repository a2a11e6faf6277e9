#pragma once

#include "model/calendar.h"
#include "model/clock.h"
#include "widget/todaysnapshot.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct stat;

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
    // Tells one file at the path from another: each write here puts a new file in its place,
    // and a write into the file itself changes its modification time.
    struct FileIdentity {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const FileIdentity &) const = default;
    };
    struct Seen {
        FileIdentity file;
        TodaySnapshot snapshot;
    };

    static FileIdentity identityOf(const struct ::stat &status);
    std::optional<FileIdentity> identityOfTarget() const;
    // What the file at the path holds, if it is `wanted` written at some moment: remembered
    // while it is the file last read or written here, so that a save reads it only after
    // another program replaced it.
    std::optional<TodaySnapshot> writtenSnapshot(const TodaySnapshot &wanted);
    // The written file's identity, or nothing when it could not be written.
    std::optional<FileIdentity> writeSnapshot(const QByteArray &json) const;

    QString m_folder;
    // Encoded once: the snapshot is written after every save.
    QByteArray m_target;
    QByteArray m_temporary;
    WidgetHost &m_host;
    Clock m_clock;
    Calendar m_calendar;
    std::optional<Seen> m_seen;
};

} // namespace qb
