// Starts the real UI on the store in $XDG_DATA_HOME and saves screenshots of its main states
// into the folder given as the first argument. Run it through scripts/screenshots.sh.
#include "app/appruntime.h"
#include "app/quillbrookapp.h"
#include "model/stockqueries.h"
#include "services/preferences.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "tasks/undocenter.h"
#include "tasks/undooffers.h"
#include "viewmodels/mainwindowstate.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
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

qb::TodoItemPtr firstToday(qb::QuillbrookApp &app) {
    qb::TodoFetch request;
    request.predicate = qb::stockqueries::todayList(app.now(), app.environment().calendar);
    request.sort = {{qb::TodoSort::Field::SortOrder, true}};
    const auto items = app.context().fetch(request).valueOr({});
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
    if (const auto first = firstToday(app))
        state->navigateTo(first.get());
    ok &= shoot(*window, folder, QStringLiteral("01-today"));
    ok &= shootPopover(*window, folder, QStringLiteral("whenButton"),
                       QStringLiteral("01a-when-popover"));
    if (const auto first = firstToday(app)) {
        // Rules that include today, so the to-do stays where it is.
        const qb::Calendar &calendar = app.environment().calendar;
        const QDateTime now = app.now();
        qb::RecurrenceRule rule;
        rule.frequency = qb::RecurrenceRule::Frequency::Weekly;
        rule.weekdays = {calendar.weekday(now) - 1, (calendar.weekday(now) + 1) % 7};
        std::sort(rule.weekdays.begin(), rule.weekdays.end());
        app.taskStore().setRepeat(first, rule);
        ok &= shootPopover(*window, folder, QStringLiteral("repeatButton"),
                           QStringLiteral("01b-repeat-weekly"));
        rule = {};
        rule.frequency = qb::RecurrenceRule::Frequency::Yearly;
        rule.month = calendar.month(now) - 1;
        rule.dayOfMonth = calendar.day(now);
        app.taskStore().setRepeat(first, rule);
        ok &= shootPopover(*window, folder, QStringLiteral("repeatButton"),
                           QStringLiteral("01c-repeat-yearly"));
        app.taskStore().setRepeat(first, std::nullopt);
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

    if (auto *dialog = window->findChild<QObject *>(QStringLiteral("deleteConfirmation"))) {
        if (const auto first = firstToday(app)) {
            dialog->setProperty("todo", QVariant::fromValue<QObject *>(first.get()));
            dialog->setProperty(
                "message", first->title() + QStringLiteral(" and its change log will be removed."));
            QMetaObject::invokeMethod(dialog, "open");
            ok &= shoot(*window, folder, QStringLiteral("05-delete-confirmation"));
            QMetaObject::invokeMethod(dialog, "close");
        }
    }
    if (const auto first = firstToday(app)) {
        const auto snapshot = app.taskStore().remove(first);
        if (snapshot)
            app.undoCenter()->offer(
                qb::undooffers::forDeletion(*snapshot, app.context(), app.environment()));
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
    state->setPerspective(QStringLiteral("later"));
    ok &= shoot(*window, folder, QStringLiteral("07-dark-later"));
    state->setPerspective(QStringLiteral("today"));
    ok &= shoot(*window, folder, QStringLiteral("08-dark-today"));
    app.preferences()->setAppearance(qb::Appearance::System);
    return ok ? 0 : 1;
}
