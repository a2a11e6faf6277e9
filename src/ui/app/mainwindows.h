#pragma once

#include <QStringList>
#include <QUuid>

#include <functional>

class QQmlApplicationEngine;
class QQuickWindow;

namespace qb {

class AppRouter;
class MainWindowState;

// The app's main windows as the desktop reaches them (a second start, the tray): bring one
// forward and act in that one. The window chosen is the focused main window, else a visible
// one, else the first window, shown again (it may have been closed to the tray).
class MainWindows {
public:
    MainWindows(QQmlApplicationEngine &engine, AppRouter &router);

    // Shows, raises and activates the chosen window; null when the app has no main window.
    MainWindowState *present();
    // Presents a window and routes each URL to it alone, in order.
    void open(const QStringList &urls);
    // Presents a window with the to-do selected where it lives; false when it is gone.
    bool openTodo(const QUuid &id);
    // Presents a window with Today's draft row open.
    void newTodo();

    // Every main window, the hidden ones included, in the order they were made.
    QList<QQuickWindow *> all() const;

private:
    QQuickWindow *chosen() const;
    // Sets a route with the router quiet, then lets `state`'s window alone follow it.
    void route(MainWindowState *state, const std::function<void()> &setRoute);

    QQmlApplicationEngine &m_engine;
    AppRouter &m_router;
};

} // namespace qb
