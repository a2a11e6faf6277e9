#include "platform/portalcolorscheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace qb {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

} // namespace

DesktopColorScheme desktopColorSchemeFromPortal(const QVariant &value) {
    QVariant inner = value;
    while (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    switch (inner.typeId()) {
    case QMetaType::UInt:
    case QMetaType::Int:
        break;
    default:
        return DesktopColorScheme::Unknown;
    }
    switch (inner.toInt()) {
    case 0:
        return DesktopColorScheme::NoPreference;
    case 1:
        return DesktopColorScheme::PreferDark;
    case 2:
        return DesktopColorScheme::PreferLight;
    default:
        return DesktopColorScheme::Unknown;
    }
}

PortalColorScheme::PortalColorScheme(const QDBusConnection &bus, QObject *parent)
    : DesktopColorSchemeSource(parent)
    , m_bus(bus) {
    if (!m_bus.isConnected())
        return;
    // Subscribe before reading so a change between the two is not lost.
    m_bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"),
                  this, SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    read << appearanceGroup << colorSchemeKey;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(read), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
            const QDBusPendingReply<QDBusVariant> reply = *call;
            // An error (no portal, no such setting) leaves the scheme Unknown.
            if (!reply.isError())
                setScheme(desktopColorSchemeFromPortal(QVariant::fromValue(reply.argumentAt<0>())));
            call->deleteLater();
        });
}

void PortalColorScheme::onSettingChanged(const QString &group, const QString &key,
                                         const QDBusVariant &value) {
    if (group == appearanceGroup && key == colorSchemeKey)
        setScheme(desktopColorSchemeFromPortal(QVariant::fromValue(value)));
}

void PortalColorScheme::setScheme(DesktopColorScheme scheme) {
    if (scheme == m_scheme)
        return;
    m_scheme = scheme;
    emit colorSchemeChanged();
}

} // namespace qb
