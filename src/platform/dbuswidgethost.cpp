#include "platform/dbuswidgethost.h"

namespace qb {

DBusWidgetHost::DBusWidgetHost(QString snapshotPath, const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_snapshotPath(std::move(snapshotPath))
    , m_bus(bus) {
    // No session bus is an ordinary situation (a console, a container): stay silent.
    if (!m_bus.isConnected())
        return;
    m_published = m_bus.registerObject(QLatin1String(objectPath), this,
                                       QDBusConnection::ExportAllSignals |
                                           QDBusConnection::ExportAllProperties);
    if (m_published)
        m_ownsName = m_bus.registerService(QLatin1String(serviceName));
}

DBusWidgetHost::~DBusWidgetHost() {
    if (m_ownsName)
        m_bus.unregisterService(QLatin1String(serviceName));
    if (m_published)
        m_bus.unregisterObject(QLatin1String(objectPath));
}

void DBusWidgetHost::reloadAllTimelines() {
    // An exported signal goes out on the bus; unpublished, nobody is listening.
    if (m_published)
        emit Reloaded(m_snapshotPath);
}

} // namespace qb
