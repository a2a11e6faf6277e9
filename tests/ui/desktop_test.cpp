// The app's desktop side over the real QML windows, offscreen: where opened URLs and the
// tray's commands land, the tray menu, what closing the last window does without a tray, and
// the last save at quit. Offscreen has no tray, as a desktop without one.
#include "app/desktopshell.h"
#include "app/quillbrookapp.h"
#include "appwindow.h"
#include "faultvfs.h"
#include "navigation/approuter.h"
#include "navigation/composer.h"
#include "preferences/preferences.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "viewmodels/mainwindowstate.h"
#include "widget/widgethost.h"

#include <QApplication>
#include <QPointer>
#include <QQmlExtensionPlugin>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>

#include <sqlite3.h>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

using namespace qb;

namespace {

QStringList actionTexts(const QMenu &menu) {
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return texts;
}

// With the window loaded, as main() makes it.
class Desktop : public test::AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        loadWindow();
        windows = std::make_unique<MainWindows>(*engine, *runtime->app().router());
    }
    void TearDown() override {
        shell.reset();
        windows.reset();
        // Windows made by QML outside the engine's root go with the engine's objects.
        for (QQuickWindow *made : extra)
            delete made;
        AppWindow::TearDown();
    }

    static MainWindowState *stateOf(QQuickWindow *which) {
        return which->findChild<MainWindowState *>();
    }
    void makeShell() {
        shell = std::make_unique<DesktopShell>(*runtime, *engine,
                                               QDBusConnection(QStringLiteral("no-bus")));
    }

    std::unique_ptr<MainWindows> windows;
    std::unique_ptr<DesktopShell> shell;
    QList<QQuickWindow *> extra;
};

// New windows are made by QML; nothing but the app may take them away again.
TEST_F(Desktop, aNewWindowOutlivesTheCollectorAndAnOpenedUrlActsInTheFocusedWindowOnly) {
    QMetaObject::invokeMethod(window, "newWindowRequested");
    ASSERT_EQ(windows->all().size(), 2);
    QPointer<QQuickWindow> second = windows->all().last();
    engine->collectGarbage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(second);
    extra.append(second);
    EXPECT_EQ(windows->all().size(), 2);

    stateOf(window)->setPerspective(QStringLiteral("later"));
    stateOf(second)->setPerspective(QStringLiteral("done"));
    activate(second);

    windows->open({QStringLiteral("quillbrook://today")});
    EXPECT_EQ(stateOf(second)->perspective(), QStringLiteral("today"));
    EXPECT_EQ(stateOf(window)->perspective(), QStringLiteral("later"));
    EXPECT_FALSE(runtime->app().router()->pendingRoute());

    // Unknown URLs only bring the window forward.
    windows->open({QStringLiteral("quillbrook://elsewhere"), QStringLiteral("mailto:x@y")});
    EXPECT_EQ(stateOf(window)->perspective(), QStringLiteral("later"));
    EXPECT_FALSE(runtime->app().router()->pendingRoute());
}

TEST_F(Desktop, aToDoChosenInTheTrayIsShownSelectedAndScrolledIntoViewInItsList) {
    auto store = runtime->taskStore();
    store.add(QStringLiteral("First"), TodoList::Today);
    for (int i = 0; i < 60; ++i)
        store.add(QStringLiteral("Row %1").arg(i), TodoList::Later);
    const auto later = store.add(QStringLiteral("Pick me"), TodoList::Later);
    stateOf(window)->setPerspective(QStringLiteral("done"));
    window->hide();

    ASSERT_TRUE(windows->openTodo(later->id()));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QQuickItem *list = item(QStringLiteral("taskList"));
        auto *row = list ? list->property("currentItem").value<QQuickItem *>() : nullptr;
        auto *todo = row ? row->property("todo").value<QObject *>() : nullptr;
        if (!todo || todo->property("title") != QStringLiteral("Pick me"))
            return false;
        const double top = list->property("contentY").toDouble();
        return row->property("selected").toBool() && row->y() >= top &&
               row->y() + row->height() <= top + list->height() + 0.5;
    }));
    // The detail pane shows it too.
    EXPECT_EQ(stateOf(window)->selectedTodo(), later.get());
}

TEST_F(Desktop, withoutATrayNothingIsShownAndClosingTheLastWindowQuits) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    makeShell();
    EXPECT_FALSE(shell->tray().isShown());
    EXPECT_FALSE(shell->busHost().isPublished());
    EXPECT_FALSE(shell->keepsRunningInTray());
    EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
    runtime->app().preferences()->setKeepInTray(false);
    runtime->app().preferences()->setKeepInTray(true);
    EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
}

TEST_F(Desktop, theTrayMenuFollowsSavesInThisProcessAndItsCommandsReachTheWindows) {
    makeShell();
    EXPECT_EQ(runtime->widgetHosts().size(), 2);
    QMenu &menu = shell->tray().menu();
    const QStringList commands{"---", "New To-Do", "Show Quill Brook", "Quit"};
    EXPECT_EQ(actionTexts(menu), QStringList{"Nothing due today"} + commands);
    EXPECT_FALSE(menu.actions().first()->isEnabled());

    auto store = runtime->taskStore();
    const auto salt = store.add(QStringLiteral("Salt & pepper"), TodoList::Today);
    store.add(QStringLiteral("Tomorrow's"), TodoList::Later);
    // The reload after the save reaches the tray at once, without waiting for the watch.
    EXPECT_EQ(shell->trayModel().dueToday(), 1);
    EXPECT_EQ(actionTexts(menu), QStringList{"Salt && pepper"} + commands);
    EXPECT_EQ(menu.actions().first()->data().toUuid(), salt->id());

    window->hide();
    menu.actions().first()->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(stateOf(window)->selectedTodoId(), salt->id().toString(QUuid::WithoutBraces));

    // A window closed to the tray comes back for New To-Do with Today's draft row open.
    stateOf(window)->setPerspective(QStringLiteral("later"));
    window->close();
    menu.actions().at(2)->trigger(); // New To-Do
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(stateOf(window)->perspective(), QStringLiteral("today"));
    EXPECT_EQ(stateOf(window)->composer()->addingTo(), TodoList::Today);
    EXPECT_TRUE(waitForShown(QStringLiteral("draftField")));

    window->hide();
    menu.actions().at(3)->trigger(); // Show Quill Brook
    EXPECT_TRUE(window->isVisible());

    shell.reset();
    EXPECT_EQ(runtime->widgetHosts().size(), 0);
}

// Quit (also what the end of the session does) closes no window: the window's frame and a
// draft being typed are kept all the same.
TEST_F(Desktop, quitKeepsTheWindowFrameAndTheDraftBeingTyped) {
    activate(window);
    window->resize(1010, 690);
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(waitForFocus(QStringLiteral("draftField")));
    typeKeys(QStringLiteral("Typed at quit"));

    QTimer::singleShot(0, window,
                       [this] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); });
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, qApp, &QCoreApplication::quit);
    stuck.start(10000);
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QCoreApplication::exec();
    ASSERT_TRUE(stuck.isActive()) << "Ctrl+Q did not quit";
    stuck.stop();
    EXPECT_EQ(quitting.count(), 1);

    EXPECT_EQ(stateOf(window)->savedFrame().size(), QSize(1010, 690));
    auto other = runtime->container().newContext();
    ASSERT_TRUE(other.ok());
    const auto stored = other.value()->fetch(TodoFetch{}).valueOr({});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->title(), QStringLiteral("Typed at quit"));
}

TEST_F(Desktop, theAppIconIsBuiltIn) {
    EXPECT_EQ(TrayIcon::appIcon().pixmap(QSize(32, 32)).size(), QSize(32, 32));
}

TEST(Quit, changesLeftByAFailedSaveGetOneLastSaveAttempt) {
    test::TempFolder folder;
    const QStringList arguments = test::appArguments();
    const Calendar calendar = test::newYorkCalendar();
    {
        AppRuntime runtime(arguments, folder.path(), calendar, Clock::system());
        ModelContext &context = runtime.container().mainContext();
        test::faultvfs::failWrite(1, SQLITE_FULL, true);
        runtime.taskStore().add(QStringLiteral("Unsaved"), TodoList::Today);
        ASSERT_TRUE(context.hasChanges());
        test::faultvfs::disarm(); // the disk has room again by the time the app quits
    }
    AppRuntime reopened(arguments, folder.path(), calendar, Clock::system());
    const auto stored = reopened.container().mainContext().fetch(TodoFetch{}).valueOr({});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->title(), QStringLiteral("Unsaved"));
}

} // namespace

int main(int argc, char **argv) {
    qb::test::faultvfs::install();
    return qb::test::runAppTests<QApplication>(argc, argv);
}
