#include "golden.h"
#include "taskfixture.h"
#include "widget/todaysnapshot.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qb;
using qb::test::RecordingWidgetHost;
using qb::test::TaskFixture;

using WidgetSnapshot = TaskFixture;

// The golden file's generatedAt, 731707200, is 2024-03-09 20:00:00 UTC in seconds after 2001.
TEST_F(WidgetSnapshot, writesTheLayoutOfTheGoldenFile) {
    auto store = this->store();
    const auto untitled = store.add(QString(), TodoList::Today);
    auto spaced = store.add(QStringLiteral("  "), TodoList::Today);
    spaced->setTitle(QStringLiteral("  ")); // kept as is: only the empty title is replaced
    auto quoted = store.add(QStringLiteral("Say \"hi\""), at(2024, 3, 1));
    store.setNotes(quoted, QStringLiteral(" x "));
    store.add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    store.add(QStringLiteral("undated"), TodoList::Later);
    store.toggleCompletion(store.add(QStringLiteral("done"), TodoList::Today));
    int n = 0;
    for (const auto &item : {untitled, spaced, quoted})
        item->setId(
            QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-00000000000%1").arg(++n)));
    context().save();
    widget.refresh(context());

    EXPECT_EQ(QString::fromUtf8(test::dataFile(widget.snapshotPath())),
              QString::fromUtf8(test::dataFile(QB_TASKS_DATA "/todaysnapshot.json").trimmed()));
}

TEST_F(WidgetSnapshot, theReloadIsRequestedEvenWhenTheFileCannotBeWritten) {
    WidgetSnapshotWriter unwritable(folder.filePath(QStringLiteral("missing/folder")), host,
                                    environment.clock, calendar);
    const int before = host.reloads;
    unwritable.refresh(context());
    EXPECT_EQ(host.reloads, before + 1);
}

TEST_F(WidgetSnapshot, theFileIsRewrittenOnlyWhenWhatItShowsOrItsDayChanges) {
    auto store = this->store();
    auto milk = store.add(QStringLiteral("Milk"), TodoList::Today);
    const auto written = [&] {
        return TodaySnapshot::fromJson(test::dataFile(widget.snapshotPath()));
    };
    ASSERT_TRUE(written());
    const QDateTime first = written()->generatedAt;

    advanceClock(3600);
    store.setNotes(milk, QStringLiteral("  ")); // nothing the widget shows
    EXPECT_EQ(written()->generatedAt, first);
    // So does a writer that did not write the file (the client's next run): it reads it.
    WidgetSnapshotWriter(folder.path(), host, environment.clock, calendar).refresh(context());
    EXPECT_EQ(written()->generatedAt, first);
    const int reloads = host.reloads;
    store.setTitle(milk, QStringLiteral("Oat milk"));
    EXPECT_EQ(written()->items.first().title, QStringLiteral("Oat milk"));
    EXPECT_EQ(host.reloads, reloads + 1);

    const QDateTime renamed = written()->generatedAt;
    advanceClock(24 * 3600);
    widget.refresh(context());
    EXPECT_EQ(written()->generatedAt, renamed.addSecs(24 * 3600));

    // Another program's snapshot, put in its place or written into it, is replaced at the next
    // refresh, though nothing this store shows changed since this writer last wrote.
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "written into the file" : "put in its place");
        const QByteArray other = R"({"totalCount":0,"items":[],"generatedAt":0})";
        if (inPlace)
            test::rewriteFile(widget.snapshotPath(), other);
        else
            test::replaceFile(widget.snapshotPath(), other);
        widget.refresh(context());
        ASSERT_TRUE(written());
        EXPECT_EQ(written()->totalCount, 1);
    }
}

TEST_F(WidgetSnapshot, listsTheFirstTwelveCountsAllAndReadsBackWhatItWrites) {
    auto store = this->store();
    store.add(QStringLiteral("Water & \"feed\" the plants ✓"), TodoList::Today);
    store.setNotes(store.add(QStringLiteral("Call"), TodoList::Today), QStringLiteral("555"));
    for (int i = 0; i < 13; ++i)
        store.add(QStringLiteral("more %1").arg(i), TodoList::Today);
    TodaySnapshot written = TodaySnapshot::build(context(), environment.clock, calendar);
    // At most twelve listed, in sort order, all counted; fractions of a second kept.
    ASSERT_EQ(written.items.size(), 12);
    EXPECT_EQ(written.items.last().title, QStringLiteral("more 9"));
    written.generatedAt = written.generatedAt.addMSecs(250);

    const auto read = TodaySnapshot::fromJson(written.toJson());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->totalCount, 15);
    EXPECT_EQ(read->items, written.items);
    EXPECT_TRUE(read->items.at(1).hasNotes);
    EXPECT_EQ(read->generatedAt, written.generatedAt);
}

TEST_F(WidgetSnapshot, readingIgnoresKeyOrderAndExtrasButNotMissingOrMistypedKeys) {
    const QByteArray id = "\"0E5D3B7C-3F6A-4C1E-9D52-7A1B2C3D4E5F\"";
    const auto reordered = TodaySnapshot::fromJson(
        "{\"generatedAt\":1,\"extra\":[1],\"items\":[{\"hasNotes\":false,\"title\":\"A\",\"id\":" +
        id + "}],\"totalCount\":4}");
    ASSERT_TRUE(reordered);
    EXPECT_EQ(reordered->totalCount, 4);
    ASSERT_EQ(reordered->items.size(), 1);
    EXPECT_EQ(reordered->items.first().id,
              QUuid::fromString(QStringLiteral("0e5d3b7c-3f6a-4c1e-9d52-7a1b2c3d4e5f")));
    EXPECT_EQ(reordered->generatedAt, QDateTime(QDate(2001, 1, 1), QTime(0, 0, 1), Qt::UTC));

    // One snapshot a line, each cut short, of the wrong shape or with a key missing or mistyped.
    for (const QByteArray &broken : test::dataLines(QB_TASKS_DATA "/brokensnapshots.txt"))
        EXPECT_FALSE(TodaySnapshot::fromJson(broken)) << broken.constData();
}

// Every host of a group reloads once a refresh, until it leaves: also when an earlier host
// makes it leave during that very reload.
TEST_F(WidgetSnapshot, everyHostOfAGroupReloadsUntilItLeaves) {
    struct Leaving final : WidgetHost {
        WidgetHostGroup *group = nullptr;
        WidgetHost *other = nullptr;
        void reloadAllTimelines() override {
            if (group)
                group->remove(other);
        }
    };
    RecordingWidgetHost tray;
    RecordingWidgetHost bus;
    Leaving leaving;
    WidgetHostGroup group;
    for (WidgetHost *host : std::initializer_list<WidgetHost *>{&leaving, &tray, &bus, &tray})
        group.add(host);
    EXPECT_EQ(group.size(), 3);
    WidgetSnapshotWriter writer(folder.path(), group, environment.clock, calendar);
    writer.refresh(context());
    EXPECT_EQ(tray.reloads, 1);
    EXPECT_EQ(bus.reloads, 1);

    leaving.group = &group;
    leaving.other = &tray;
    writer.refresh(context());
    EXPECT_EQ(tray.reloads, 1);
    EXPECT_EQ(bus.reloads, 2);
    EXPECT_EQ(group.size(), 2);
}

// A widget reading the snapshot while it is replaced keeps the whole old one; the next read
// gets the whole new one, private to the user. A temporary file an interrupted write left
// behind, readable by others, is neither reused nor left, and no new one is left either.
TEST_F(WidgetSnapshot, isReplacedWholeWithoutReusingOrLeavingTemporaryFiles) {
    auto store = this->store();
    store.add(QStringLiteral("first"), TodoList::Today); // saves, and refreshes the snapshot
    QFile reader(widget.snapshotPath());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    const QString leftover = widget.snapshotPath() + QStringLiteral(".new");
    test::rewriteFile(leftover, QByteArray(4096, 'x'));
    QFile::setPermissions(leftover, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    store.add(QStringLiteral("second"), TodoList::Today);
    const QByteArray old = reader.readAll();
    EXPECT_EQ(QJsonDocument::fromJson(old).object().value(u"totalCount").toInt(), 1) << old.data();

    const auto snapshot = TodaySnapshot::fromJson(test::dataFile(widget.snapshotPath()));
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->totalCount, 2);
    EXPECT_EQ(QFile::permissions(widget.snapshotPath()) &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    const QStringList leftovers =
        QDir(folder.path()).entryList({QStringLiteral("today.json*")}, QDir::Files);
    EXPECT_EQ(leftovers, QStringList{QStringLiteral("today.json")});
}
