#include "services/todaysnapshot.h"
#include "taskfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qb;
using qb::test::TaskFixture;

using WidgetSnapshot = TaskFixture;

TEST_F(WidgetSnapshot, writesTheExactJsonLayout) {
    auto store = this->store();
    auto untitled = store.add(QString(), TodoList::Today);
    auto spaced = store.add(QStringLiteral("  "), TodoList::Today);
    spaced->setTitle(QStringLiteral("  ")); // kept as is: only the empty title is replaced
    auto quoted = store.add(QStringLiteral("Say \"hi\""), at(2024, 3, 1));
    store.setNotes(quoted, QStringLiteral(" x "));
    store.add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    store.add(QStringLiteral("undated"), TodoList::Later);
    store.toggleCompletion(store.add(QStringLiteral("done"), TodoList::Today));
    context().save();

    widget.refresh(context());
    QFile file(widget.snapshotPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto upper = [](const TodoItemPtr &item) {
        return item->id().toString(QUuid::WithoutBraces).toUpper().toLatin1();
    };
    // 2024-03-09 20:00:00 UTC is 731707200 seconds after 2001-01-01.
    const QByteArray expected = "{\"totalCount\":3,\"items\":["
                                "{\"id\":\"" +
                                upper(untitled) +
                                "\",\"title\":\"New To-Do\",\"hasNotes\":false},"
                                "{\"id\":\"" +
                                upper(spaced) +
                                "\",\"title\":\"  \",\"hasNotes\":false},"
                                "{\"id\":\"" +
                                upper(quoted) +
                                "\",\"title\":\"Say \\\"hi\\\"\",\"hasNotes\":true}"
                                "],\"generatedAt\":731707200}";
    EXPECT_EQ(file.readAll(), expected);
}

TEST_F(WidgetSnapshot, listsAtMostTwelveInSortOrderButCountsAll) {
    auto store = this->store();
    for (int i = 0; i < 15; ++i)
        store.add(QStringLiteral("item %1").arg(i), TodoList::Today);
    const TodaySnapshot snapshot =
        TodaySnapshot::build(context(), environment.clock, environment.calendar);
    EXPECT_EQ(snapshot.totalCount, 15);
    ASSERT_EQ(snapshot.items.size(), 12);
    EXPECT_EQ(snapshot.items.first().title, QStringLiteral("item 0"));
    EXPECT_EQ(snapshot.items.last().title, QStringLiteral("item 11"));
    const auto parsed = QJsonDocument::fromJson(snapshot.toJson());
    EXPECT_EQ(parsed.object().value(QStringLiteral("totalCount")).toInt(), 15);
}

TEST_F(WidgetSnapshot, fractionalSecondsAreKept) {
    TodaySnapshot snapshot;
    snapshot.generatedAt = QDateTime(QDate(2001, 1, 1), QTime(0, 0, 1, 500), Qt::UTC);
    EXPECT_TRUE(snapshot.toJson().endsWith("\"generatedAt\":1.5}"));
}

TEST_F(WidgetSnapshot, theReloadIsRequestedEvenWhenTheFileCannotBeWritten) {
    WidgetSnapshotWriter unwritable(folder.filePath(QStringLiteral("missing/folder")), host,
                                    environment.clock, calendar);
    const int before = host.reloads;
    unwritable.refresh(context());
    EXPECT_EQ(host.reloads, before + 1);
}

// A widget reading the snapshot while it is replaced keeps the whole old one; the next read
// gets the whole new one, private to the user, and no temporary file is left behind.
TEST_F(WidgetSnapshot, isReplacedWholeWithoutLeavingFilesBehind) {
    auto store = this->store();
    store.add(QStringLiteral("first"), TodoList::Today);
    widget.refresh(context());
    QFile reader(widget.snapshotPath());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));

    store.add(QStringLiteral("second"), TodoList::Today);
    widget.refresh(context());
    const QByteArray old = reader.readAll();
    EXPECT_EQ(QJsonDocument::fromJson(old).object().value(u"totalCount").toInt(), 1) << old.data();

    QFile fresh(widget.snapshotPath());
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(fresh.readAll()).object().value(u"totalCount").toInt(), 2);
    EXPECT_EQ(fresh.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                     QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    const QStringList leftovers =
        QDir(folder.path()).entryList({QStringLiteral("today.json*")}, QDir::Files);
    EXPECT_EQ(leftovers, QStringList{QStringLiteral("today.json")});
}
