// The whole app in this process, offscreen, on a temporary store: a to-do is added with the New
// key, typing and Return, completed from its circle, and then found in Done and in the file.
// Keys and clicks go through the window like a user's; only the completion delay is virtual.
#include "app/appruntime.h"
#include "app/quillbrookapp.h"
#include "qtprinters.h"
#include "quickitems.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "temphome.h"
#include "viewmodels/completionqueue.h"
#include "virtualtime.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>

#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

using namespace std::chrono_literals;
using qb::test::findItem;
using qb::test::rowAt;

namespace {

QPoint centre(const QQuickItem &item) {
    return item.mapToScene(QPointF(item.width() / 2, item.height() / 2)).toPoint();
}

QStringList titlesIn(QQuickItem *view) {
    QStringList titles;
    const int count = view->property("count").toInt();
    for (int row = 0; row < count; ++row) {
        if (QQuickItem *item = rowAt(view, row))
            titles.append(item->property("todo").value<QObject *>()->property("title").toString());
    }
    return titles;
}

TEST(EndToEnd, aToDoAddedWithTheKeyboardAndTickedEndsUpInDoneAndInTheStore) {
    qb::test::VirtualTime time;
    qb::AppRuntime runtime(
        {QStringLiteral("quillbrook"), QStringLiteral("-cloudKitDisabled")},
        qb::persistence::storeFolder(),
        qb::Calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York")),
        qb::Clock::system());
    runtime.app().completions()->setTimerFactory([&time] { return time.makeTimer(); });

    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
    ASSERT_FALSE(engine.rootObjects().isEmpty());
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    ASSERT_TRUE(window);
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QQuickItem *root = window->contentItem();
    EXPECT_EQ(window->size(), QSize(960, 640));

    // New To-Do, a title, Return.
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    QQuickItem *field = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        field = findItem(root, QStringLiteral("draftField"));
        return field && field->hasActiveFocus();
    }));
    ASSERT_TRUE(field);
    for (const char letter : std::string("Buy milk"))
        QTest::keyClick(window, letter);
    QTest::keyClick(window, Qt::Key_Return);

    QQuickItem *today = findItem(root, QStringLiteral("taskList"));
    ASSERT_TRUE(today);
    EXPECT_TRUE(QTest::qWaitFor([&] { return titlesIn(today) == QStringList{"Buy milk"}; }));
    EXPECT_FALSE(field->isVisible());
    EXPECT_EQ(findItem(root, QStringLiteral("badge-today"))->property("text").toString(),
              QStringLiteral("1"));

    // Tick the circle; the row waits for the completion delay.
    QQuickItem *row = rowAt(today, 0);
    ASSERT_TRUE(row);
    QQuickItem *circle = findItem(row, QStringLiteral("circle"));
    ASSERT_TRUE(circle);
    QTest::mouseClick(window, Qt::LeftButton, {}, centre(*circle));
    EXPECT_TRUE(row->property("isCompleting").toBool());
    time.advance(4900ms);
    EXPECT_EQ(titlesIn(today), QStringList{"Buy milk"});
    time.advance(100ms);
    EXPECT_TRUE(QTest::qWaitFor([&] { return today->property("count").toInt() == 0; }));

    // Done lists it under Today.
    QTest::mouseClick(window, Qt::LeftButton, {},
                      centre(*findItem(root, QStringLiteral("sidebar-done"))));
    QQuickItem *done = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        done = findItem(root, QStringLiteral("doneList"));
        return done && titlesIn(done) == QStringList{"Buy milk"};
    }));

    // And the file holds it as completed, as another connection reads it.
    auto other = runtime.container().newContext();
    ASSERT_TRUE(other.ok());
    const auto stored = other.value()->fetch(qb::TodoFetch{}).valueOr({});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->title(), QStringLiteral("Buy milk"));
    EXPECT_TRUE(stored.first()->isCompleted());
    EXPECT_TRUE(stored.first()->completedAt().isValid());
}

} // namespace

int main(int argc, char **argv) {
    qb::test::TemporaryHome home;
    if (!home.isValid())
        return 1;
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QGuiApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
