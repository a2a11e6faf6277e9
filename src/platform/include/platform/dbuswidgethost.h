#pragma once

#include "widget/widgethost.h"

#include <QDBusConnection>
#include <QObject>

namespace qb {

// Publishes each widget reload on the session bus, so panel applets and status bars can follow
// the Today snapshot without polling: the object /io/github/quillbrook/QuillBrook/Today with
// the interface io.github.quillbrook.QuillBrook.Today, its signal Reloaded(s path) carrying
// the snapshot's path, and its property SnapshotPath. The service name
// io.github.quillbrook.QuillBrook is taken when free (a second store's instance goes without).
//
// Without a bus (no session, no daemon) nothing is published and reloads do nothing.
class DBusWidgetHost final : public QObject, public WidgetHost {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.quillbrook.QuillBrook.Today")
    Q_PROPERTY(QString SnapshotPath READ snapshotPath CONSTANT)

public:
    static constexpr auto serviceName = "io.github.quillbrook.QuillBrook";
    static constexpr auto objectPath = "/io/github/quillbrook/QuillBrook/Today";
    static constexpr auto interfaceName = "io.github.quillbrook.QuillBrook.Today";

    explicit DBusWidgetHost(QString snapshotPath,
                            const QDBusConnection &bus = QDBusConnection::sessionBus(),
                            QObject *parent = nullptr);
    ~DBusWidgetHost() override;

    QString snapshotPath() const { return m_snapshotPath; }
    // Whether the object is on a bus, so reloads are signalled.
    bool isPublished() const { return m_published; }
    bool ownsServiceName() const { return m_ownsName; }

    void reloadAllTimelines() override;

signals:
    void Reloaded(const QString &path);

private:
    QString m_snapshotPath;
    QDBusConnection m_bus;
    bool m_published = false;
    bool m_ownsName = false;
};

} // namespace qb
