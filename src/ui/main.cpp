#include "app/appruntime.h"
#include "store/persistence.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {
constexpr auto selfTestArgument = "--self-test";
} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quill Brook"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QB_VERSION));
    // Lets the desktop match windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillbrook.QuillBrook"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    qb::AppRuntime runtime(app.arguments(), qb::persistence::storeFolder(), qb::Calendar::current(),
                           qb::Clock::system());

    QQmlApplicationEngine engine;
    // The module's qmldir lives in the resources; without this the engine would only find a
    // qmldir that happens to lie next to the binary in a build folder.
    engine.addImportPath(QStringLiteral("qrc:/"));
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
