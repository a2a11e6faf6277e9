#pragma once

#include "app/appruntime.h"
#include "temphome.h"
#include "tempstore.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace qb::test {

// The item named `name` in the tree under `root` (itself included); null when there is none.
inline QQuickItem *findItem(QQuickItem *root, const QString &name) {
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

inline QStringList appArguments() {
    return {QStringLiteral("quillbrook"), QStringLiteral("-cloudKitDisabled")};
}

inline Calendar newYorkCalendar() {
    return Calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York"));
}

// The whole app in this process as main() builds it, on a store of its own, offscreen.
class AppWindow : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = std::make_unique<AppRuntime>(appArguments(), folder.path(), newYorkCalendar(),
                                               Clock::system());
    }
    void TearDown() override {
        engine.reset();
        runtime.reset();
    }
    // Loads the main window as main() does.
    void loadWindow() {
        engine = std::make_unique<QQmlApplicationEngine>();
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
        ASSERT_FALSE(engine->rootObjects().isEmpty());
        window = qobject_cast<QQuickWindow *>(engine->rootObjects().constFirst());
        ASSERT_TRUE(window);
    }
    void activate(QQuickWindow *which) {
        which->requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(which));
    }
    QQuickItem *item(const QString &name) const { return findItem(window->contentItem(), name); }
    // Waits until the window shows the item named `name` and its keyboard focus is there.
    bool waitForFocus(const QString &name) const {
        return QTest::qWaitFor([&] { return item(name) && item(name)->hasActiveFocus(); });
    }
    // Waits until the window shows the item named `name`; null when it never does.
    QQuickItem *waitForShown(const QString &name) const {
        QQuickItem *found = nullptr;
        const auto shown = [&] { return (found = item(name)) && found->isVisible(); };
        return QTest::qWaitFor(shown) ? found : nullptr;
    }
    // A left click in the middle of `target`.
    void click(const QQuickItem &target) {
        const QPointF middle(target.width() / 2, target.height() / 2);
        QTest::mouseClick(window, Qt::LeftButton, {}, target.mapToScene(middle).toPoint());
    }
    void typeKeys(const QString &text) {
        for (const QChar letter : text)
            QTest::keyClick(window, letter.toLatin1());
    }

    TempFolder folder;
    std::unique_ptr<AppRuntime> runtime;
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow *window = nullptr;
};

// main() of a program of these tests, with `Application` (a QGuiApplication or a QApplication)
// named as the app names itself and the basic style, in a throw-away home.
template <typename Application> int runAppTests(int argc, char **argv) {
    TemporaryHome home;
    if (!home.isValid())
        return 1;
    Application app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace qb::test
