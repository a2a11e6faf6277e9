// The list models over a real store: what the day does to them, paging, and that saves reach
// them row by row. Which to-dos a list holds is the stock queries' rule, tested with them.
#include "appfixture.h"
#include "models/donemodel.h"
#include "models/searchmodel.h"
#include "models/tasklistmodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>

using namespace qb;
using namespace std::chrono_literals;

namespace {

// Counts the structural signals of a model. A save must never show up as a reset.
struct ModelSignals {
    explicit ModelSignals(QAbstractItemModel *model)
        : inserted(model, &QAbstractItemModel::rowsInserted)
        , removed(model, &QAbstractItemModel::rowsRemoved)
        , moved(model, &QAbstractItemModel::rowsMoved)
        , reset(model, &QAbstractItemModel::modelReset) {}
    void clear() {
        for (QSignalSpy *spy : {&inserted, &removed, &moved, &reset})
            spy->clear();
    }

    QSignalSpy inserted, removed, moved, reset;
};

class Lists : public test::AppFixture {
protected:
    template <typename Model> std::unique_ptr<Model> open(const QString &list = {}) {
        auto model = std::make_unique<Model>();
        if constexpr (requires { model->setListRaw(list); })
            model->setListRaw(list);
        wire(*model);
        return model;
    }
    // Moves the clock and virtual time together, as a night passing would.
    void pass(std::chrono::milliseconds span) {
        setClock(clockNow().addMSecs(span.count()));
        time.advance(span);
    }
    QStringList shown(const QAbstractItemModel &model) const {
        QStringList result = column(model, TodoRowsModel::TodoRole);
        result.sort();
        return result;
    }
};

} // namespace

// The clock stands at 15:00 on 9 March 2024, the eve of a 23-hour day in New York.
TEST_F(Lists, theDayMovesOnAtEachMidnightAndBringsTomorrowsToDosIntoTodayRowByRow) {
    store().add(QStringLiteral("today"), TodoList::Today);
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10, 9));
    const auto today = open<TaskListModel>(QStringLiteral("today"));
    QAbstractItemModelTester tester(today.get(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto overdue = [&] { return column(*today, TodoRowsModel::OverdueRole); };
    ModelSignals signals_(today.get());
    QSignalSpy days(&environmentObject, &Environment::todayChanged);
    QSignalSpy refreshes(&environmentObject, &Environment::refreshed);
    app->becameActive();
    EXPECT_EQ(days.count(), 0);
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_EQ(shown(*today), QStringList{"today"});
    EXPECT_EQ(overdue(), QStringList{"false"});

    pass(9h - 1ms);
    EXPECT_EQ(environmentObject.today(), at(2024, 3, 9));
    pass(1ms);
    EXPECT_EQ(environmentObject.today(), at(2024, 3, 10));
    EXPECT_EQ(shown(*today), (QStringList{"today", "tomorrow"}));
    EXPECT_EQ(overdue().count(QStringLiteral("true")), 1);
    EXPECT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
    pass(23h); // the short day
    EXPECT_EQ(environmentObject.today(), at(2024, 3, 11));
    EXPECT_EQ(days.count(), 2);

    // A machine asleep over midnight: the day is read again when the app comes back.
    advanceClock(24 * 3600);
    app->becameActive();
    EXPECT_EQ(environmentObject.today(), at(2024, 3, 12));
    EXPECT_EQ(days.count(), 3);
}

TEST_F(Lists, savesChangeRowsOneByOneAndNeverResetTheList) {
    auto undated = store().add(QStringLiteral("undated"), TodoList::Later);
    auto other = store().add(QStringLiteral("other"), TodoList::Later);
    const auto later = open<TaskListModel>(QStringLiteral("later"));
    QAbstractItemModelTester tester(later.get(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto sections = [&] { return column(*later, TodoRowsModel::SectionRole); };
    ModelSignals signals_(later.get());

    // The first dated to-do: one insert, and the undated rows now sit under "Later".
    store().add(QStringLiteral("tuesday"), at(2024, 3, 12));
    EXPECT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(sections(), (QStringList{"Tuesday, Mar 12", "Later", "Later"}));

    // Scheduling an undated one for tomorrow moves its row into a new day section.
    signals_.clear();
    store().schedule(other, at(2024, 3, 10));
    EXPECT_EQ(column(*later, TodoRowsModel::TodoRole),
              (QStringList{"other", "tuesday", "undated"}));
    EXPECT_EQ(signals_.moved.count(), 1);
    EXPECT_EQ(signals_.inserted.count() + signals_.removed.count(), 0);
    EXPECT_EQ(sections().first(), QStringLiteral("Tomorrow"));

    // A completed one leaves with one removal; a retitled one changes its row in place.
    signals_.clear();
    store().toggleCompletion(undated);
    store().setTitle(other, QStringLiteral("renamed"));
    EXPECT_EQ(signals_.removed.count(), 1);
    EXPECT_EQ(signals_.inserted.count() + signals_.moved.count(), 0);
    EXPECT_EQ(column(*later, TodoRowsModel::TitleRole), (QStringList{"renamed", "tuesday"}));
    EXPECT_EQ(signals_.reset.count(), 0);
}

TEST_F(Lists, yearsOfCompletedToDosAreLoadedAPageAtATimeWithTheirTimes) {
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
    const auto done = open<DoneModel>();
    EXPECT_EQ(done->rowCount(), DoneModel::pageSize);
    EXPECT_EQ(done->index(1).data(DoneModel::CompletedTimeRole).toString(),
              QStringLiteral("2:59\u202fPM"));
    ASSERT_TRUE(done->canFetchMore({}));
    done->fetchMore({});
    EXPECT_EQ(done->rowCount(), total);
    EXPECT_FALSE(done->canFetchMore({}));

    // Reopening one keeps the window full and live.
    done->reopen(done->todoAt(0));
    EXPECT_EQ(done->rowCount(), total - 1);
    EXPECT_EQ(column(*done, TodoRowsModel::TodoRole).first(), QStringLiteral("done 1"));
}

TEST_F(Lists, manySearchMatchesLoadAPageAtATimeAndFollowSavesRowByRow) {
    for (int i = 0; i < 150; ++i) {
        context().insert(std::make_shared<TodoItem>(
            QStringLiteral("match %1").arg(i), TodoList::Later, QDateTime(), i, now().addSecs(i)));
    }
    ASSERT_TRUE(context().save());
    const auto search = open<SearchModel>();
    search->setQuery(QStringLiteral("match"));
    EXPECT_EQ(search->rowCount(), SearchModel::pageSize);
    EXPECT_EQ(search->index(0).data(SearchModel::TitleRole).toString(), "match 149");
    ModelSignals signals_(search.get());
    search->fetchMore({});
    EXPECT_EQ(search->rowCount(), 150);
    EXPECT_FALSE(search->canFetchMore({}));
    EXPECT_EQ(signals_.inserted.count(), 1);

    // A save keeps the loaded rows and changes them row by row: done ones go last.
    QAbstractItemModelTester tester(search.get(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    signals_.clear();
    store().toggleCompletion(find(QStringLiteral("match 149")));
    EXPECT_EQ(search->rowCount(), 150);
    EXPECT_EQ(search->index(149).data(SearchModel::StatusRole).toString(), "Done");
    EXPECT_EQ(signals_.moved.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
}

// Any sequence of lists is reached row by row, never with a reset, and the model stays
// consistent throughout (the tester aborts otherwise).
TEST(TodoRows, randomChangesAlwaysEndAtTheTarget) {
    TodoRowsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QList<TodoItemPtr> items;
    for (int i = 0; i < 16; ++i)
        items.append(std::make_shared<TodoItem>(QString::number(i), TodoList::Today, QDateTime(), 0,
                                                QDateTime()));
    QRandomGenerator random(42);
    for (int round = 0; round < 200; ++round) {
        QList<TodoItemPtr> target = items;
        std::shuffle(target.begin(), target.end(), random);
        target.resize(random.bounded(items.size() + 1));
        QList<TodoRowsModel::Row> rows;
        QStringList wanted, seen;
        for (const TodoItemPtr &item : std::as_const(target)) {
            const QString section = random.bounded(3) == 0 ? QStringLiteral("S") : QString();
            rows.append({item, section, false});
            wanted.append(item->title() + section);
        }
        model.setRows(rows);
        for (int row = 0; row < model.rowCount(); ++row)
            seen.append(model.index(row).data(TodoRowsModel::TitleRole).toString() +
                        model.index(row).data(TodoRowsModel::SectionRole).toString());
        ASSERT_EQ(seen, wanted) << "round " << round;
    }
    EXPECT_EQ(reset.count(), 0);
}
