// The whole app in this process, offscreen, on a store of its own, driven by keys and clicks
// like a user's: to-dos whose titles, notes and subtasks look like markup are shown in every
// view exactly as typed, and showing them never reaches the network.
#include "app/environment.h"
#include "app/quillbrookapp.h"
#include "appwindow.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "tasks/taskstore.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QQmlExtensionPlugin>
#include <QTcpServer>
#include <QTcpSocket>

Q_IMPORT_QML_PLUGIN(QuillbrookPlugin)

namespace {

void collectTexts(QQuickItem *item, QList<QQuickItem *> &texts) {
    if (item->inherits("QQuickText") && item->isVisible())
        texts.append(item);
    for (QQuickItem *child : item->childItems())
        collectTexts(child, texts);
}

// The visible text items that show `literal`, alone or within a longer text (a message). Each
// must draw exactly those characters: as wide as the plain text in its font, where markup
// would draw a tag's effect instead. Returns the failures; `found` counts the items.
QStringList checkShownLiterally(QQuickWindow &window, const QString &literal, int &found) {
    QList<QQuickItem *> texts;
    collectTexts(window.contentItem(), texts);
    QStringList failures;
    found = 0;
    for (QQuickItem *text : std::as_const(texts)) {
        const QString shown = text->property("text").toString();
        // Quick Find's row title holds markup for its emphasis (styled text, format 4): in
        // that view it is the row of the to-do checked.
        const bool searchTitle =
            text->objectName() == u"rowTitle" && text->property("textFormat").toInt() == 4;
        if (!shown.contains(literal) && !searchTitle)
            continue;
        ++found;
        const QFontMetricsF metrics(text->property("font").value<QFont>());
        const qreal expected = metrics.horizontalAdvance(shown.contains(literal) ? shown : literal);
        const qreal drawn = text->implicitWidth();
        if (qAbs(drawn - expected) > 2)
            failures.append(QStringLiteral("%1 drawn %2 wide, as typed %3")
                                .arg(shown, QString::number(drawn), QString::number(expected)));
    }
    return failures;
}

class EndToEnd : public qb::test::AppWindow {
protected:
    qb::TaskStore store() { return runtime->taskStore(); }
};

TEST_F(EndToEnd, userTextIsShownAsTypedInEveryViewAndNeverFetchesAnything) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            ++connections;
            socket->close();
            socket->deleteLater();
        }
    });
    const QString image =
        QStringLiteral("<img src=\"http://127.0.0.1:%1/t.png?who=me\">").arg(server.serverPort());
    const QString lunch = QStringLiteral("Lunch ") + image + QStringLiteral(" with Bo");
    // Two spaces: styled text (Quick Find's emphasis) would fold them into one.
    const QString entity = QStringLiteral("a &lt;  b");
    const QString bold = QStringLiteral("<b>x</b>");

    auto first = store().add(QStringLiteral("Lunch"), qb::TodoList::Today);
    store().setTitle(first, lunch); // the rename's log entry names both titles
    store().setNotes(first, image);
    store().addSubtask(first, image);
    auto later = store().add(entity, runtime->environment().today().addDays(2));
    store().setNotes(later, QStringLiteral("zebra"));
    auto done = store().add(bold, qb::TodoList::Today);
    store().toggleCompletion(done);
    loadWindow();
    activate(window);

    // Each view, as the user gets there; every text showing user text draws it as typed.
    const auto expectShown = [&](const QString &literal, const char *where) {
        QTest::qWait(150);
        int found = 0;
        const QStringList failures = checkShownLiterally(*window, literal, found);
        EXPECT_GT(found, 0) << where << ": nothing shows " << literal.toStdString();
        EXPECT_TRUE(failures.isEmpty()) << where << ": " << failures.join(u'\n').toStdString();
    };
    const auto show = [&](const char *perspective) {
        QQuickItem *entry = item(QStringLiteral("sidebar-") + QLatin1String(perspective));
        ASSERT_TRUE(entry);
        click(*entry);
    };
    show("today");
    expectShown(lunch, "Today");

    QQuickItem *list = item(QStringLiteral("taskList"));
    ASSERT_TRUE(list);
    QQuickItem *row = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, row),
                                  Q_ARG(int, 0));
        return row != nullptr;
    }));
    click(*row);
    QQuickItem *titleField = waitForShown(QStringLiteral("titleField"));
    ASSERT_TRUE(titleField);
    EXPECT_EQ(titleField->property("text").toString(), lunch);
    EXPECT_EQ(item(QStringLiteral("subtaskField"))->property("text").toString(), image);
    QQuickItem *logTab = item(QStringLiteral("tab-log"));
    ASSERT_TRUE(logTab);
    click(*logTab);
    expectShown(lunch, "the change log");

    show("later");
    expectShown(entity, "Later");
    show("done");
    expectShown(bold, "Done");

    // Quick Find, with a match in the notes only: the title shows without emphasis.
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    typeKeys(QStringLiteral("zebra"));
    expectShown(entity, "Quick Find");
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::qWait(300);
    EXPECT_EQ(connections, 0) << "showing the lists reached the network";

    // The delete confirmation and the undo toast name the to-do.
    show("today");
    QTest::keyClick(window, Qt::Key_Home);
    QTest::keyClick(window, Qt::Key_Delete);
    ASSERT_TRUE(waitForShown(QStringLiteral("deleteMessage")));
    expectShown(lunch + QStringLiteral(" and its change log will be removed."), "the confirmation");
    QTest::keyClick(window, Qt::Key_Return);
    expectShown(QStringLiteral("Deleted “%1”").arg(lunch), "the undo toast");

    QTest::qWait(300);
    EXPECT_EQ(connections, 0) << "showing the dialog or the toast reached the network";
}

// Deleted while the app runs, the store file is written again at its path with everything in
// it once the app is next activated, and the user is told; what is added then lands there too.
TEST_F(EndToEnd, aStoreFileDeletedWhileTheAppRunsComesBackAtItsPathAndTheUserIsTold) {
    store().add(QStringLiteral("Buy milk"), qb::TodoList::Today);
    loadWindow();
    activate(window);
    const QString path = runtime->container().configuration().path;
    ASSERT_TRUE(QFile::remove(path));

    // The user comes back to the app: what its windows do when the platform says it is active.
    runtime->app().becameActive();
    QQuickItem *message = waitForShown(QStringLiteral("storeNoticeMessage"));
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->property("text").toString().contains(QStringLiteral("deleted")));
    // Read, and dismissed from the keyboard like any alert.
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message->isVisible(); }));

    // New To-Do, a title, Return.
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(waitForFocus(QStringLiteral("draftField")));
    typeKeys(QStringLiteral("Buy bread"));
    QTest::keyClick(window, Qt::Key_Return);

    // Both are in the file at the path (the store's own tests check what it holds).
    EXPECT_EQ(runtime->container().configuration().path, path);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        auto other = runtime->container().newContext();
        return other && other.value()->fetch(qb::TodoFetch{}).valueOr({}).size() == 2;
    }));
}

} // namespace

int main(int argc, char **argv) {
    return qb::test::runAppTests<QGuiApplication>(argc, argv);
}
