// Starts the real UI on the store in $XDG_DATA_HOME and saves screenshots of its main states
// into the folder given as the first argument. Run it through scripts/screenshots.sh. For the
// update dialog it points the updater at a feed file of its own for the run (the preference
// "updateFeedUrl"), so no check goes over the network.
#include "app/appruntime.h"
#include "app/quillbrookapp.h"
#include "app/taskservices.h"
#include "model/stockqueries.h"
#include "preferences/preferences.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "tasks/undocenter.h"
#include "viewmodels/mainwindowstate.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {

void settle(int milliseconds = 600) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool shoot(QQuickWindow &window, const QDir &folder, const QString &name) {
    settle();
    const QImage image = window.grabWindow();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = image.save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
    return saved;
}

qb::TodoItemPtr firstToday(qb::AppRuntime &runtime) {
    qb::TodoFetch request;
    request.predicate =
        qb::stockqueries::todayList(runtime.environment().now(), runtime.environment().calendar());
    request.sort = {{qb::TodoSort::Field::SortOrder, true}};
    const auto items = runtime.container().mainContext().fetch(request).valueOr({});
    return items.isEmpty() ? nullptr : items.first();
}

// Opens the popover of a header control of the detail pane (its `menu` model), shoots it and
// closes it again.
bool shootPopover(QQuickWindow &window, const QDir &folder, const QString &button,
                  const QString &name) {
    auto *control = window.findChild<QQuickItem *>(button);
    auto *menu = control ? qvariant_cast<QObject *>(control->property("menu")) : nullptr;
    if (!menu) {
        std::printf("FAILED no %s\n", qPrintable(button));
        return false;
    }
    menu->setProperty("presented", true);
    const bool saved = shoot(window, folder, name);
    menu->setProperty("presented", false);
    return saved;
}

// The When popover and the Repeat popover for a weekly and a yearly rule, on the first to-do of
// Today, whose detail pane is open. The rules include today, so the to-do stays in Today.
bool shootHeaderPopovers(qb::AppRuntime &runtime, QQuickWindow &window, const QDir &folder,
                         const QString &prefix) {
    const auto first = firstToday(runtime);
    if (!first)
        return false;
    bool ok = shootPopover(window, folder, QStringLiteral("whenButton"),
                           prefix + QStringLiteral("when-popover"));
    const qb::Calendar &calendar = runtime.environment().calendar();
    const QDateTime now = runtime.environment().now();
    qb::RecurrenceRule rule;
    rule.frequency = qb::RecurrenceRule::Frequency::Weekly;
    rule.weekdays = {calendar.weekday(now) - 1, (calendar.weekday(now) + 1) % 7};
    std::sort(rule.weekdays.begin(), rule.weekdays.end());
    runtime.taskStore().setRepeat(first, rule);
    ok &= shootPopover(window, folder, QStringLiteral("repeatButton"),
                       prefix + QStringLiteral("repeat-weekly"));
    rule = {};
    rule.frequency = qb::RecurrenceRule::Frequency::Yearly;
    rule.month = calendar.month(now) - 1;
    rule.dayOfMonth = calendar.day(now);
    runtime.taskStore().setRepeat(first, rule);
    ok &= shootPopover(window, folder, QStringLiteral("repeatButton"),
                       prefix + QStringLiteral("repeat-yearly"));
    runtime.taskStore().setRepeat(first, std::nullopt);
    return ok;
}

// Opens a dialog of the window by its object name, shoots it and closes it again.
bool shootDialog(QQuickWindow &window, const QDir &folder, const QString &dialogName,
                 const QString &name) {
    auto *dialog = window.findChild<QObject *>(dialogName);
    if (!dialog) {
        std::printf("FAILED no %s\n", qPrintable(dialogName));
        return false;
    }
    QMetaObject::invokeMethod(dialog, "open");
    const bool saved = shoot(window, folder, name);
    QMetaObject::invokeMethod(dialog, "close");
    return saved;
}

// The update feed the app checks in this run: a file written before each check, so every
// outcome is shot without the network.
class LocalFeed {
public:
    QUrl url() const { return QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("feed.xml"))); }

    void offer(const QString &version) {
        QFile file(url().toLocalFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        file.write(QStringLiteral(
                       R"(<rss version="2.0" xmlns:qb="https://quillbrook.example/a"><channel>)"
                       "<item><qb:version>%1</qb:version><qb:shortVersionString>%1"
                       "</qb:shortVersionString><qb:releaseNotesLink>https://quillbrook.example/"
                       "notes</qb:releaseNotesLink><enclosure url=\"https://quillbrook.example/"
                       "download\"/></item></channel></rss>")
                       .arg(version)
                       .toUtf8());
    }
    void remove() { QFile::remove(url().toLocalFile()); }

private:
    QTemporaryDir m_folder;
};

// "Check for Updates…" from the window's menu, then a shot of the dialog once it shows.
bool shootUpdateCheck(QQuickWindow &window, const QDir &folder, const QString &name) {
    auto *dialog = window.findChild<QObject *>(QStringLiteral("updateDialog"));
    QMetaObject::invokeMethod(&window, "checkForUpdates");
    for (int tries = 0; dialog && tries < 50 && !dialog->property("opened").toBool(); ++tries)
        settle(100);
    if (!dialog || !dialog->property("opened").toBool()) {
        std::printf("FAILED no update dialog for %s\n", qPrintable(name));
        return false;
    }
    const bool saved = shoot(window, folder, name);
    QMetaObject::invokeMethod(dialog, "close");
    settle(200);
    return saved;
}

// List delegates have no object parent: look through the visual tree.
QQuickItem *findItem(QQuickItem *root, const QString &name) {
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

void sendMouse(QQuickWindow &window, QEvent::Type type, QPointF position,
               Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, window.mapToGlobal(position), button, buttons,
                      Qt::NoModifier);
    QGuiApplication::sendEvent(&window, &event);
}

// The first subtask dragged by its handle over the second, shot mid-drag; the pointer goes
// back before it is released, so the order does not change.
bool shootSubtaskDrag(QQuickWindow &window, const QDir &folder, const QString &name) {
    QQuickItem *handle = findItem(window.contentItem(), QStringLiteral("subtaskDragHandle"));
    if (!handle) {
        std::printf("FAILED no subtask to drag\n");
        return false;
    }
    const QPointF start = handle->mapToScene(handle->boundingRect().center());
    const qreal rowHeight = handle->parentItem() ? handle->parentItem()->height() : 30;
    sendMouse(window, QEvent::MouseMove, start, Qt::NoButton);
    sendMouse(window, QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (int step = 1; step <= 6; ++step)
        sendMouse(window, QEvent::MouseMove, start + QPointF(0, rowHeight * 1.3 * step / 6),
                  Qt::LeftButton);
    const bool saved = shoot(window, folder, name);
    sendMouse(window, QEvent::MouseMove, start, Qt::LeftButton);
    sendMouse(window, QEvent::MouseButtonRelease, start, Qt::NoButton);
    return saved;
}

void pressKey(QQuickWindow &window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QGuiApplication::sendEvent(&window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QGuiApplication::sendEvent(&window, &release);
    settle(150);
}

// The keyboard at work, from key presses: the focus ring on a row and on a control of the
// detail pane, a row's context menu with its When submenu, the Edit menu with its shortcuts,
// and the Keyboard Shortcuts window. `suffix` tells the theme apart.
bool shootKeyboard(QQuickWindow &window, const QDir &folder, const QString &suffix) {
    window.requestActivate();
    settle();
    bool ok = true;
    pressKey(window, Qt::Key_1, Qt::ControlModifier);
    pressKey(window, Qt::Key_Home);
    ok &= shoot(window, folder, QStringLiteral("13-focus-list") + suffix);
    for (int tries = 0; tries < 20; ++tries) {
        const QQuickItem *focused = window.activeFocusItem();
        if (focused && focused->objectName() == QStringLiteral("whenButton"))
            break;
        pressKey(window, Qt::Key_Tab);
    }
    ok &= shoot(window, folder, QStringLiteral("13a-focus-detail") + suffix);

    pressKey(window, Qt::Key_1, Qt::ControlModifier);
    pressKey(window, Qt::Key_Menu);
    pressKey(window, Qt::Key_Down);
    pressKey(window, Qt::Key_Down);
    pressKey(window, Qt::Key_Right);
    ok &= shoot(window, folder, QStringLiteral("14-context-menu") + suffix);
    pressKey(window, Qt::Key_Escape);
    pressKey(window, Qt::Key_Escape);

    pressKey(window, Qt::Key_F10);
    pressKey(window, Qt::Key_Right);
    ok &= shoot(window, folder, QStringLiteral("15-menu-bar") + suffix);
    pressKey(window, Qt::Key_Escape);

    QMetaObject::invokeMethod(&window, "shortcutsRequested");
    auto *shortcuts = window.findChild<QQuickWindow *>(QStringLiteral("shortcutsWindow"));
    if (!shortcuts) {
        std::printf("FAILED no shortcuts window\n");
        return false;
    }
    ok &= shoot(*shortcuts, folder, QStringLiteral("16-shortcuts") + suffix);
    shortcuts->close();
    return ok;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication application(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: qb-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());

    // The updater reads its feed once, when it is made: point it at a local file.
    LocalFeed feed;
    const QString feedKey = QStringLiteral("updateFeedUrl");
    QSettings settings(qb::Preferences::standardFilePath(), QSettings::IniFormat);
    const QVariant ownFeed = settings.value(feedKey);
    settings.setValue(feedKey, feed.url().toString());
    settings.sync();

    qb::AppRuntime runtime({QStringLiteral("quillbrook"), QStringLiteral("-cloudKitDisabled")},
                           qb::persistence::storeFolder(), qb::Calendar::current(),
                           qb::Clock::system());
    qb::QuillbrookApp &app = runtime.app();
    QQmlApplicationEngine engine;
    // The module's qmldir lives in the resources; without this the engine would only find a
    // qmldir that happens to lie next to the binary in a build folder.
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    auto *state = window->findChild<qb::MainWindowState *>();
    if (!window || !state)
        return 1;
    window->resize(1100, 680);

    bool ok = true;
    state->setPerspective(QStringLiteral("today"));
    if (const auto first = firstToday(runtime))
        state->navigateTo(first.get());
    ok &= shoot(*window, folder, QStringLiteral("01-today"));
    ok &= shootHeaderPopovers(runtime, *window, folder, QStringLiteral("01a-"));
    ok &= shootSubtaskDrag(*window, folder, QStringLiteral("01d-subtask-drag"));
    if (auto *detail = findItem(window->contentItem(), QStringLiteral("detailPane"))) {
        for (const QString &tab : {QStringLiteral("notes"), QStringLiteral("log")}) {
            detail->setProperty("selectedTab", tab);
            ok &= shoot(*window, folder, QStringLiteral("01e-detail-") + tab);
        }
        detail->setProperty("selectedTab", QStringLiteral("subtasks"));
    } else {
        std::printf("FAILED no detail pane\n");
        ok = false;
    }
    state->setPerspective(QStringLiteral("later"));
    ok &= shoot(*window, folder, QStringLiteral("02-later"));
    state->setPerspective(QStringLiteral("done"));
    ok &= shoot(*window, folder, QStringLiteral("03-done"));
    state->setSearchQuery(QStringLiteral("cafe"));
    ok &= shoot(*window, folder, QStringLiteral("04-quick-find"));
    state->setSearchQuery(QString());
    state->setPerspective(QStringLiteral("today"));
    settle();
    ok &= shootKeyboard(*window, folder, QString());

    if (auto *dialog = window->findChild<QObject *>(QStringLiteral("deleteConfirmation"))) {
        if (const auto first = firstToday(runtime)) {
            dialog->setProperty("todo", QVariant::fromValue<QObject *>(first.get()));
            dialog->setProperty(
                "message", first->title() + QStringLiteral(" and its change log will be removed."));
            QMetaObject::invokeMethod(dialog, "open");
            ok &= shoot(*window, folder, QStringLiteral("05-delete-confirmation"));
            QMetaObject::invokeMethod(dialog, "close");
        }
    }
    if (const auto first = firstToday(runtime)) {
        const qb::TaskServices tasks{app.context(), app.environment(), app.undoCenter()};
        tasks.offer(tasks.store().remove(first));
        ok &= shoot(*window, folder, QStringLiteral("06-undo-toast"));
        app.undo();
    }
    QMetaObject::invokeMethod(window, "settingsRequested");
    auto *settingsWindow = window->findChild<QQuickWindow *>(QStringLiteral("settingsWindow"));
    if (settingsWindow)
        ok &= shoot(*settingsWindow, folder, QStringLiteral("09-settings-light"));
    app.preferences()->setAppearance(qb::Appearance::Dark);
    if (settingsWindow) {
        ok &= shoot(*settingsWindow, folder, QStringLiteral("10-settings-dark"));
        settingsWindow->close();
    } else {
        std::printf("FAILED no settings window\n");
        ok = false;
    }
    ok &= shootKeyboard(*window, folder, QStringLiteral("-dark"));
    state->setPerspective(QStringLiteral("later"));
    ok &= shoot(*window, folder, QStringLiteral("07-dark-later"));
    state->setPerspective(QStringLiteral("today"));
    if (const auto first = firstToday(runtime))
        state->navigateTo(first.get());
    ok &= shoot(*window, folder, QStringLiteral("08-dark-today"));
    ok &= shootHeaderPopovers(runtime, *window, folder, QStringLiteral("08a-dark-"));
    ok &= shootDialog(*window, folder, QStringLiteral("aboutDialog"),
                      QStringLiteral("11-dark-about"));
    feed.offer(QStringLiteral("2.0"));
    ok &= shootUpdateCheck(*window, folder, QStringLiteral("12-dark-update-available"));

    app.preferences()->setAppearance(qb::Appearance::Light);
    ok &= shootDialog(*window, folder, QStringLiteral("aboutDialog"), QStringLiteral("11-about"));
    feed.offer(QStringLiteral("0.0.1"));
    ok &= shootUpdateCheck(*window, folder, QStringLiteral("12a-update-up-to-date"));
    feed.offer(QStringLiteral("2.0"));
    ok &= shootUpdateCheck(*window, folder, QStringLiteral("12b-update-available"));
    feed.remove();
    ok &= shootUpdateCheck(*window, folder, QStringLiteral("12c-update-failed"));

    app.preferences()->setAppearance(qb::Appearance::System);
    if (ownFeed.isValid())
        settings.setValue(feedKey, ownFeed);
    else
        settings.remove(feedKey);
    return ok ? 0 : 1;
}
