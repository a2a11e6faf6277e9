#include "appfixture.h"
#include "models/donemodel.h"

#include <QAbstractItemModelTester>

using namespace qb;
using qb::test::AppFixture;
using qb::test::ModelSignals;

namespace {

class Done : public AppFixture {
protected:
    // Built after the completions, as the view is: section titles are relative to the day the
    // rows are built on, and completeAt moves the clock.
    void open() { model.setApp(app.get()); }

    TodoItemPtr completeAt(const QString &title, const QDateTime &moment) {
        auto item = store().add(title, TodoList::Today);
        const QDateTime before = clockNow();
        setClock(moment);
        store().toggleCompletion(item);
        setClock(before);
        return item;
    }
    QStringList titles() const { return AppFixture::titles(model, TodoRowsModel::TodoRole); }
    QStringList sections() const { return column(model, TodoRowsModel::SectionRole); }

    DoneModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(Done, groupsByDayOfCompletionNewestFirst) {
    completeAt(QStringLiteral("morning"), at(2024, 3, 9, 10));
    completeAt(QStringLiteral("last week"), at(2024, 3, 1, 9));
    completeAt(QStringLiteral("afternoon"), at(2024, 3, 9, 14));
    completeAt(QStringLiteral("last night"), at(2024, 3, 8, 23, 30));
    store().add(QStringLiteral("open"), TodoList::Today);
    open();

    EXPECT_EQ(titles(), (QStringList{"afternoon", "morning", "last night", "last week"}));
    EXPECT_EQ(sections(), (QStringList{"Today", "Today", "Yesterday", "Friday, Mar 1"}));
}

TEST_F(Done, aCompletionElsewhereArrivesAsOneInsertAtTheTop) {
    completeAt(QStringLiteral("earlier"), at(2024, 3, 9, 9));
    open();
    ModelSignals signals_(&model);
    auto item = store().add(QStringLiteral("now"), TodoList::Today);
    store().toggleCompletion(item);
    EXPECT_EQ(titles(), (QStringList{"now", "earlier"}));
    ASSERT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(signals_.inserted.first().at(1).toInt(), 0);
    EXPECT_EQ(signals_.reset.count(), 0);
}

TEST_F(Done, reopeningFromTheCircleRemovesTheRowAndAnEmptiedSection) {
    completeAt(QStringLiteral("today"), at(2024, 3, 9, 10));
    auto yesterday = completeAt(QStringLiteral("yesterday"), at(2024, 3, 8, 10));
    open();
    ModelSignals signals_(&model);

    model.reopen(yesterday.get());
    EXPECT_FALSE(yesterday->isCompleted());
    EXPECT_FALSE(yesterday->completedAt().isValid());
    EXPECT_EQ(titles(), QStringList{"today"});
    EXPECT_EQ(sections(), QStringList{"Today"});
    EXPECT_EQ(signals_.removed.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
    EXPECT_EQ(yesterday->changes().last()->kind(), ChangeKind::Reopened);
}

TEST_F(Done, sectionTitlesFollowTheDayTheModelIsBuiltOn) {
    completeAt(QStringLiteral("saturday"), at(2024, 3, 9, 10));
    setClock(at(2024, 3, 11, 9));
    DoneModel monday;
    monday.setApp(app.get());
    EXPECT_EQ(column(monday, TodoRowsModel::SectionRole), QStringList{"Saturday, Mar 9"});
}

} // namespace

TEST_F(Done, yearsOfCompletedToDosAreLoadedAPageAtATime) {
    // Written in one save, as a long-used store would hold them.
    const int total = DoneModel::pageSize + 50;
    for (int i = 0; i < total; ++i) {
        auto item = std::make_shared<TodoItem>(QStringLiteral("done %1").arg(i), TodoList::Today,
                                               QDateTime(), i, clockNow());
        item->setCompleted(true);
        item->setCompletedAt(clockNow().addSecs(-60 * i));
        context().insert(item);
    }
    ASSERT_TRUE(context().save().ok());
    DoneModel paged; // without the tester, which fetches every page as soon as it can
    paged.setApp(app.get());
    EXPECT_EQ(paged.rowCount(), DoneModel::pageSize);
    EXPECT_TRUE(paged.canFetchMore({}));
    paged.fetchMore({});
    EXPECT_EQ(paged.rowCount(), total);
    EXPECT_FALSE(paged.canFetchMore({}));

    open();
    QCoreApplication::processEvents(); // pages asked for during the tester's checks
    EXPECT_EQ(model.rowCount(), total);
    EXPECT_FALSE(model.canFetchMore({}));
    EXPECT_EQ(titles().last(), QStringLiteral("done %1").arg(total - 1));

    // Reopening one keeps the window full and live.
    model.reopen(model.todoAt(0));
    EXPECT_EQ(model.rowCount(), total - 1);
    EXPECT_EQ(titles().first(), QStringLiteral("done 1"));
}
