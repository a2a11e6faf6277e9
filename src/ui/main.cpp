#include "app/appruntime.h"
#include "app/commandline.h"
#include "app/desktopshell.h"
#include "app/quillbrookapp.h"
#include "desktop/trayicon.h"
#include "navigation/approuter.h"
#include "platform/singleinstance.h"
#include "platform/terminationsignals.h"
#include "store/persistence.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>

#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {
constexpr auto selfTestArgument = "--self-test";
} // namespace

int main(int argc, char *argv[]) {
    // Before QApplication: help must not need a display, nor start the app.
    if (const auto status = qb::answerInformationalArguments(argc, argv, stdout))
        return *status;
    // A QApplication, not a QGuiApplication: the tray icon and its menu are widgets.
    QApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quill Brook"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QB_VERSION));
    // Lets the desktop match windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillbrook.QuillBrook"));
    QGuiApplication::setWindowIcon(qb::TrayIcon::appIcon());
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    const QStringList arguments = app.arguments();
    const bool selfTest = arguments.contains(QLatin1String(selfTestArgument));
    const QString storeFolder = qb::persistence::storeFolder();

    // A later start on the same store hands its URLs to the running app and is done. The
    // smoke test always runs on its own.
    std::unique_ptr<qb::SingleInstance> instance;
    if (!selfTest) {
        instance =
            std::make_unique<qb::SingleInstance>(qb::SingleInstance::socketPath(storeFolder));
        switch (instance->claim(qb::AppRouter::urlArguments(arguments))) {
        case qb::SingleInstance::Role::Primary:
            break;
        case qb::SingleInstance::Role::Forwarded:
            return EXIT_SUCCESS;
        case qb::SingleInstance::Role::Unanswered:
            std::fprintf(stderr,
                         "quillbrook: Quill Brook is already running but did not answer: %s\n",
                         qPrintable(instance->errorString()));
            return EXIT_FAILURE;
        case qb::SingleInstance::Role::Unavailable:
            std::fprintf(stderr, "quillbrook: starting without the running-instance check: %s\n",
                         qPrintable(instance->errorString()));
            instance.reset();
            break;
        }
    }

    qb::AppRuntime runtime(arguments, storeFolder, qb::Calendar::current(), qb::Clock::system());

    QQmlApplicationEngine engine;
    // The module's qmldir lives in the resources; without this the engine would only find a
    // qmldir that happens to lie next to the binary in a build folder.
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return EXIT_FAILURE;

    // Loads the whole UI, then quits: the smoke test run by CTest.
    if (selfTest) {
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
        const bool ok = window && window->title() == QStringLiteral("Quill Brook");
        return ok ? EXIT_SUCCESS : EXIT_FAILURE;
    }

    // Logout and Ctrl+C quit as the Quit command does, so the app's teardown still runs.
    qb::TerminationSignals termination;
    QObject::connect(&termination, &qb::TerminationSignals::received, &app,
                     &QCoreApplication::quit);

    qb::DesktopShell shell(runtime, engine);
    if (instance) {
        QObject::connect(instance.get(), &qb::SingleInstance::activationRequested, &shell,
                         [&shell](const QStringList &urls) { shell.windows().open(urls); });
    }
    return app.exec();
}
