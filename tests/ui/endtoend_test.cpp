// The whole app in this process, offscreen, on a temporary store: a to-do is added with the New
// key, typing and Return, completed from its circle, and then found in Done and in the file.
// Keys and clicks go through the window like a user's; only the completion delay is virtual.
#include "app/appruntime.h"
#include "app/quillbrookapp.h"
#include "preferences/preferences.h"
#include "qtprinters.h"
#include "quickitems.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "temphome.h"
#include "tempstore.h"
#include "viewmodels/completionqueue.h"
#include "virtualtime.h"

#include <QFile>
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

// The app on a store of its own, its first window shown and active.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test starts as a first launch does, in Today.
        QFile::remove(qb::Preferences::standardFilePath());
        runtime = std::make_unique<qb::AppRuntime>(
            QStringList{QStringLiteral("quillbrook"), QStringLiteral("-cloudKitDisabled")},
            storeFolder.path(),
            qb::Calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York")),
            qb::Clock::system());
        runtime->app().completions()->setTimerFactory([this] { return time.makeTimer(); });
        engine.addImportPath(QStringLiteral("qrc:/"));
        engine.load(QUrl(QStringLiteral("qrc:/Quillbrook/qml/Main.qml")));
        ASSERT_FALSE(engine.rootObjects().isEmpty());
        window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
        ASSERT_TRUE(window);
        window->requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        root = window->contentItem();
    }

    // New To-Do, a title, Return.
    void addWithTheKeyboard(const std::string &title) {
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QQuickItem *field = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            field = findItem(root, QStringLiteral("draftField"));
            return field && field->hasActiveFocus();
        }));
        for (const char letter : title)
            QTest::keyClick(window, letter);
        QTest::keyClick(window, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !field->isVisible(); }));
    }

    // What another connection reads from the store file at its path.
    QStringList storedTitles() {
        auto other = runtime->container().newContext();
        EXPECT_TRUE(other.ok());
        QStringList titles;
        if (other) {
            for (const auto &item : other.value()->fetch(qb::TodoFetch{}).valueOr({}))
                titles.append(item->title());
        }
        titles.sort();
        return titles;
    }

    qb::test::VirtualTime time;
    qb::test::TempFolder storeFolder;
    std::unique_ptr<qb::AppRuntime> runtime;
    QQmlApplicationEngine engine;
    QQuickWindow *window = nullptr;
    QQuickItem *root = nullptr;
};

TEST_F(EndToEnd, aToDoAddedWithTheKeyboardAndTickedEndsUpInDoneAndInTheStore) {
    EXPECT_EQ(window->size(), QSize(960, 640));
    addWithTheKeyboard("Buy milk");

    QQuickItem *today = findItem(root, QStringLiteral("taskList"));
    ASSERT_TRUE(today);
    EXPECT_TRUE(QTest::qWaitFor([&] { return titlesIn(today) == QStringList{"Buy milk"}; }));
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
    auto other = runtime->container().newContext();
    ASSERT_TRUE(other.ok());
    const auto stored = other.value()->fetch(qb::TodoFetch{}).valueOr({});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->title(), QStringLiteral("Buy milk"));
    EXPECT_TRUE(stored.first()->isCompleted());
    EXPECT_TRUE(stored.first()->completedAt().isValid());
}

// Deleted while the app runs, the store file is written again at its path with everything in
// it once the app is next activated, and the user is told; what is added then lands there too.
TEST_F(EndToEnd, aStoreFileDeletedWhileTheAppRunsComesBackAtItsPathAndTheUserIsTold) {
    addWithTheKeyboard("Buy milk");
    const QString path = runtime->container().configuration().path;
    ASSERT_TRUE(QFile::remove(path));

    // The user comes back to the app: what its windows do when the platform says it is active.
    runtime->app().becameActive();
    QQuickItem *message = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        message = findItem(root, QStringLiteral("storeNoticeMessage"));
        return message && message->isVisible();
    }));
    EXPECT_TRUE(message->property("text").toString().contains(QStringLiteral("deleted")));
    // Read, and dismissed from the keyboard like any alert.
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message->isVisible(); }));

    addWithTheKeyboard("Buy bread");
    EXPECT_EQ(runtime->container().configuration().path, path);
    EXPECT_EQ(storedTitles(),
              (QStringList{QStringLiteral("Buy bread"), QStringLiteral("Buy milk")}));
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
