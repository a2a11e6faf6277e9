#pragma once

#include "desktop/trayicon.h"
#include "desktop/traymenumodel.h"
#include "mainwindows.h"
#include "platform/dbuswidgethost.h"

#include <QObject>

namespace qb {

class AppRuntime;

// The app on the desktop, once its windows exist: the tray icon and menu, the reload signal
// on the session bus, and what closing the last window does. Built by main() only; tools and
// tests that run the UI in-process go without it unless they build one.
class DesktopShell : public QObject {
    Q_OBJECT

public:
    DesktopShell(AppRuntime &runtime, QQmlApplicationEngine &engine,
                 const QDBusConnection &bus = QDBusConnection::sessionBus(),
                 QObject *parent = nullptr);
    ~DesktopShell() override;

    MainWindows &windows() { return m_windows; }
    TrayMenuModel &trayModel() { return m_trayModel; }
    TrayIcon &tray() { return m_tray; }
    const DBusWidgetHost &busHost() const { return m_busHost; }

    // Closing the last window leaves the app running: a tray icon is shown and the
    // "keep in tray" preference is on.
    bool keepsRunningInTray() const;

private:
    void applyQuitPolicy();

    AppRuntime &m_runtime;
    MainWindows m_windows;
    DBusWidgetHost m_busHost;
    TrayMenuModel m_trayModel;
    TrayIcon m_tray;
};

} // namespace qb
