#include "model/calendar.h"
#include "model/clock.h"
#include "store/cloudmirror.h"
#include "store/modelcontainer.h"
#include "store/persistence.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <QTimer>

namespace {

constexpr auto selfTestArgument = "--self-test";

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quill Brook"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QB_VERSION));

    const qb::Calendar calendar = qb::Calendar::current();
    qb::UnavailableCloudMirror mirror;
    // Stops the program with the fatal message when the local store cannot be opened.
    const auto container = qb::persistence::makeContainer(
        app.arguments(), qb::persistence::storeFolder(), mirror, calendar.localeId());
    QSettings preferences;
    qb::persistence::backfillScheduledDates(*container, preferences, qb::Clock::system(), calendar);

    QQmlApplicationEngine engine;
    engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return EXIT_FAILURE;

    // Loads the whole UI, then quits: the smoke test run by CTest.
    if (app.arguments().contains(QLatin1String(selfTestArgument))) {
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
        const bool ok = window && window->title() == QStringLiteral("Quill Brook");
        return ok ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    return app.exec();
}
