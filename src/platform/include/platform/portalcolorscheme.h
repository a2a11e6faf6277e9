#pragma once

#include "preferences/desktopcolorschemesource.h"

#include <QDBusConnection>
#include <QDBusVariant>

namespace qb {

// The desktop's light/dark preference from the freedesktop settings portal
// (org.freedesktop.portal.Settings, namespace "org.freedesktop.appearance", key
// "color-scheme"), read once without blocking and then followed through SettingChanged.
//
// Without a portal (no session bus, no portal service, or an error or unexpected value) the
// scheme stays Unknown and no change is signalled; System then shows whatever the caller
// passes as the undecided scheme (light unless the UI supplies its palette's choice).
class PortalColorScheme final : public DesktopColorSchemeSource {
    Q_OBJECT

public:
    explicit PortalColorScheme(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                               QObject *parent = nullptr);

    DesktopColorScheme colorScheme() const override { return m_scheme; }

private slots:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void setScheme(DesktopColorScheme scheme);

    QDBusConnection m_bus;
    DesktopColorScheme m_scheme = DesktopColorScheme::Unknown;
};

// The portal's value: 0 no preference, 1 dark, 2 light. Variants nested in variants (as the
// portal's Read returns them) are unwrapped; anything else is Unknown.
DesktopColorScheme desktopColorSchemeFromPortal(const QVariant &value);

} // namespace qb
