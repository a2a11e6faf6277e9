#include "mainwindows.h"

#include "navigation/approuter.h"
#include "quillbrookapp.h"
#include "viewmodels/mainwindowstate.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSignalBlocker>

namespace qb {

namespace {

MainWindowState *stateOf(QQuickWindow *window) {
    return window ? window->findChild<MainWindowState *>() : nullptr;
}

} // namespace

MainWindows::MainWindows(QQmlApplicationEngine &engine, AppRouter &router)
    : m_engine(engine)
    , m_router(router) {}

QList<QQuickWindow *> MainWindows::all() const {
    QList<QQuickWindow *> windows;
    // The first window is the engine's root; later ones are top-level windows of their own.
    for (QObject *root : m_engine.rootObjects()) {
        if (auto *window = qobject_cast<QQuickWindow *>(root); stateOf(window))
            windows.append(window);
    }
    for (QWindow *top : QGuiApplication::topLevelWindows()) {
        auto *window = qobject_cast<QQuickWindow *>(top);
        if (stateOf(window) && !windows.contains(window))
            windows.append(window);
    }
    return windows;
}

QQuickWindow *MainWindows::chosen() const {
    const QList<QQuickWindow *> windows = all();
    if (windows.isEmpty())
        return nullptr;
    for (QQuickWindow *window : windows) {
        if (window == QGuiApplication::focusWindow() && window->isVisible())
            return window;
    }
    for (QQuickWindow *window : windows) {
        if (window->isVisible())
            return window;
    }
    return windows.first();
}

MainWindowState *MainWindows::present() {
    QQuickWindow *window = chosen();
    if (!window)
        return nullptr;
    if (window->windowStates() & Qt::WindowMinimized)
        window->showNormal();
    else
        window->show();
    window->raise();
    window->requestActivate();
    return stateOf(window);
}

void MainWindows::open(const QStringList &urls) {
    MainWindowState *state = present();
    for (const QString &url : urls)
        route(state, [&] { m_router.handle(url); });
}

void MainWindows::route(MainWindowState *state, const std::function<void()> &setRoute) {
    if (!state) {
        setRoute(); // pending until a window follows it
        return;
    }
    {
        // Every window follows the router's signal; this route is for the chosen one.
        const QSignalBlocker quiet(m_router);
        setRoute();
    }
    state->followRoute();
}

bool MainWindows::openTodo(const QUuid &id) {
    MainWindowState *state = present();
    return state && state->openTodo(id.toString(QUuid::WithoutBraces));
}

void MainWindows::newTodo() {
    route(present(), [this] { m_router.setPendingRoute(AppRouter::Route::NewToday); });
}

} // namespace qb
