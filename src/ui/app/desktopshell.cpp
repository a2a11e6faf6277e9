#include "desktopshell.h"

#include "appruntime.h"
#include "preferences/preferences.h"
#include "quillbrookapp.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace qb {

DesktopShell::DesktopShell(AppRuntime &runtime, QQmlApplicationEngine &engine,
                           const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_runtime(runtime)
    , m_windows(engine, *runtime.app().router())
    , m_busHost(runtime.snapshotPath(), bus)
    , m_trayModel(runtime.snapshotPath())
    , m_tray(m_trayModel) {
    m_trayModel.start();
    m_runtime.widgetHosts().add(&m_trayModel);
    m_runtime.widgetHosts().add(&m_busHost);

    connect(&m_tray, &TrayIcon::todoChosen, this, [this](const QUuid &id) {
        // A to-do gone since the snapshot was written still brings the window forward.
        m_windows.openTodo(id);
    });
    connect(&m_tray, &TrayIcon::newTodoChosen, this, [this] { m_windows.newTodo(); });
    connect(&m_tray, &TrayIcon::showChosen, this, [this] { m_windows.present(); });
    connect(&m_tray, &TrayIcon::quitChosen, this, &QCoreApplication::quit, Qt::QueuedConnection);
    m_tray.show();

    if (Preferences *preferences = m_runtime.app().preferences())
        connect(preferences, &Preferences::keepInTrayChanged, this, &DesktopShell::applyQuitPolicy);
    applyQuitPolicy();
}

DesktopShell::~DesktopShell() {
    m_runtime.widgetHosts().remove(&m_busHost);
    m_runtime.widgetHosts().remove(&m_trayModel);
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

bool DesktopShell::keepsRunningInTray() const {
    const Preferences *preferences = m_runtime.app().preferences();
    return m_tray.isShown() && preferences && preferences->keepInTray();
}

void DesktopShell::applyQuitPolicy() {
    QGuiApplication::setQuitOnLastWindowClosed(!keepsRunningInTray());
}

} // namespace qb
