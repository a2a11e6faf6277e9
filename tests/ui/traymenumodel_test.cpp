#include "datafiles.h"
#include "desktop/traymenumodel.h"
#include "taskfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace qb;

namespace {

class TrayModel : public test::TaskFixture {
protected:
    QStringList titles() const { return test::each(model.items(), &TodaySnapshot::Item::title); }
    bool waitFor(int dueToday) {
        return QTest::qWaitFor([&] { return model.dueToday() == dueToday; }, 3000);
    }

    TrayMenuModel model{widget.snapshotPath()};
};

} // namespace

TEST_F(TrayModel, followsEachSnapshotWrittenAfterASaveThroughTheFolderWatch) {
    model.start();
    QSignalSpy changed(&model, &TrayMenuModel::changed);

    auto store = this->store();
    const auto first = store.add(QStringLiteral("Water plants"), TodoList::Today);
    ASSERT_TRUE(waitFor(1));
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Water plants")});
    EXPECT_EQ(model.items().first().id, first->id());

    // The file is replaced again: the watch outlives each replacement.
    store.add(QStringLiteral("Call mum"), TodoList::Today);
    store.add(QStringLiteral("Someday"), TodoList::Later);
    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Water plants"), QStringLiteral("Call mum")}));
    EXPECT_EQ(model.toolTip(), QStringLiteral("Quill Brook: 2 to-dos due today"));
    store.toggleCompletion(first);
    ASSERT_TRUE(waitFor(1));
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Call mum")});
    EXPECT_EQ(model.toolTip(), QStringLiteral("Quill Brook: 1 to-do due today"));
    EXPECT_EQ(changed.count(), 3);

    // A rewrite that shows nothing new (only generatedAt moves) is not a change.
    advanceClock(60);
    widget.refresh(context());
    model.reload();
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(TrayModel, aBrokenFileKeepsTheLastReadingAndAMissingOneShowsNothingDue) {
    store().add(QStringLiteral("Kept"), TodoList::Today);
    model.start();
    ASSERT_EQ(model.dueToday(), 1);

    // Replaced the way any writer does: beside it, then renamed over it.
    test::replaceFile(widget.snapshotPath(), "{\"totalCount\":3,\"items\":[");
    model.reload();
    EXPECT_EQ(model.dueToday(), 1);
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Kept")});

    QFile::remove(widget.snapshotPath());
    ASSERT_TRUE(waitFor(0));
    EXPECT_TRUE(model.items().isEmpty());
    EXPECT_EQ(model.toolTip(), QStringLiteral("Quill Brook: nothing due today"));
}

TEST(TrayMenuText, isOneShortLineWithoutAccelerators) {
    EXPECT_EQ(TrayMenuModel::menuText(QStringLiteral("Salt & pepper")),
              QStringLiteral("Salt && pepper"));
    EXPECT_EQ(TrayMenuModel::menuText(QStringLiteral("  two\nlines\t here ")),
              QStringLiteral("two lines here"));
    EXPECT_EQ(TrayMenuModel::menuText(QStringLiteral(" \n ")), QStringLiteral("New To-Do"));
    EXPECT_EQ(TrayMenuModel::menuText(QString(60, u'x')), QString(60, u'x'));
    EXPECT_EQ(TrayMenuModel::menuText(QString(61, u'x')), QString(59, u'x') + QChar(0x2026));

    // 58 letters, then an emoji (two UTF-16 units) across the cut: it goes whole.
    EXPECT_EQ(TrayMenuModel::menuText(QString(58, u'y') + QStringLiteral(u"😀tail")),
              QString(58, u'y') + QChar(0x2026));
}
