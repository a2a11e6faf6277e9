#include "appfixture.h"
#include "models/tasklistmodel.h"

#include <QAbstractItemModelTester>

using namespace qb;
using qb::test::AppFixture;
using qb::test::ModelSignals;

namespace {

class TaskList : public AppFixture {
protected:
    std::unique_ptr<TaskListModel> list(const QString &raw) {
        auto model = std::make_unique<TaskListModel>();
        model->setApp(app.get());
        model->setListRaw(raw);
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal));
        return model;
    }
    QStringList titles(const TaskListModel &model) const {
        return AppFixture::titles(model, TodoRowsModel::TodoRole);
    }
    QStringList sections(const TaskListModel &model) const {
        return column(model, TodoRowsModel::SectionRole);
    }
    QStringList datedFlags(const TaskListModel &model) const {
        return column(model, TodoRowsModel::InDaySectionRole);
    }

    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
};

TEST_F(TaskList, todayHoldsOverdueAndTodaysToDosButNeitherUndatedNorFutureNorDoneOnes) {
    store().add(QStringLiteral("undated"), TodoList::Later);
    store().add(QStringLiteral("yesterday"), at(2024, 3, 8));
    store().add(QStringLiteral("today"), TodoList::Today);
    store().add(QStringLiteral("tonight"), at(2024, 3, 9, 22));
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    store().toggleCompletion(store().add(QStringLiteral("done"), TodoList::Today));

    const auto today = list(QStringLiteral("today"));
    QStringList shown = titles(*today);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"today", "tonight", "yesterday"}));
    EXPECT_EQ(sections(*today), (QStringList{"", "", ""}));
    EXPECT_EQ(today->mainCount(), 3);
    EXPECT_FALSE(today->hasDaySections());
}

TEST_F(TaskList, laterShowsOneSectionPerDayThenTheUndatedUnderLater) {
    store().add(QStringLiteral("undated 1"), TodoList::Later);
    store().add(QStringLiteral("tuesday"), at(2024, 3, 12));
    store().add(QStringLiteral("tomorrow 1"), at(2024, 3, 10));
    store().add(QStringLiteral("undated 2"), TodoList::Later);
    store().add(QStringLiteral("tomorrow 2"), at(2024, 3, 10));
    store().add(QStringLiteral("today"), TodoList::Today);

    const auto later = list(QStringLiteral("later"));
    EXPECT_EQ(titles(*later),
              (QStringList{"tomorrow 1", "tomorrow 2", "tuesday", "undated 1", "undated 2"}));
    EXPECT_EQ(sections(*later),
              (QStringList{"Tomorrow", "Tomorrow", "Tuesday, Mar 12", "Later", "Later"}));
    EXPECT_EQ(datedFlags(*later), (QStringList{"true", "true", "true", "false", "false"}));
    EXPECT_TRUE(later->hasDaySections());
    EXPECT_EQ(later->mainCount(), 2);
    EXPECT_EQ(later->datedCount(), 3);
}

TEST_F(TaskList, laterWithOnlyDatedToDosShowsNoLaterSection) {
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    const auto later = list(QStringLiteral("later"));
    EXPECT_EQ(sections(*later), QStringList{"Tomorrow"});
    EXPECT_EQ(later->mainCount(), 0);
}

TEST_F(TaskList, laterWithoutDatedToDosShowsNoHeadersAtAll) {
    store().add(QStringLiteral("a"), TodoList::Later);
    store().add(QStringLiteral("b"), TodoList::Later);
    const auto later = list(QStringLiteral("later"));
    EXPECT_EQ(sections(*later), (QStringList{"", ""}));
    EXPECT_FALSE(later->hasDaySections());
}

TEST_F(TaskList, savesChangeRowsOneByOneAndNeverResetTheList) {
    auto undated = store().add(QStringLiteral("undated"), TodoList::Later);
    auto other = store().add(QStringLiteral("other"), TodoList::Later);
    const auto later = list(QStringLiteral("later"));
    ModelSignals signals_(later.get());

    // The first dated to-do: one insert, and the undated rows now sit under "Later".
    store().add(QStringLiteral("tuesday"), at(2024, 3, 12));
    EXPECT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(sections(*later), (QStringList{"Tuesday, Mar 12", "Later", "Later"}));

    // Scheduling an undated one for tomorrow moves its row into a new day section.
    signals_.clear();
    store().schedule(other, at(2024, 3, 10));
    EXPECT_EQ(titles(*later), (QStringList{"other", "tuesday", "undated"}));
    EXPECT_EQ(signals_.moved.count(), 1);
    EXPECT_EQ(signals_.inserted.count() + signals_.removed.count(), 0);
    EXPECT_EQ(sections(*later).first(), QStringLiteral("Tomorrow"));

    // A completed one leaves with one removal; a retitled one changes no row at all.
    signals_.clear();
    store().toggleCompletion(undated);
    store().setTitle(other, QStringLiteral("renamed"));
    EXPECT_EQ(signals_.removed.count(), 1);
    EXPECT_EQ(signals_.inserted.count() + signals_.moved.count(), 0);
    EXPECT_EQ(titles(*later), (QStringList{"renamed", "tuesday"}));

    EXPECT_EQ(signals_.reset.count(), 0);
}

TEST_F(TaskList, draggingAMainRowPlacesItBeforeTheRowThatStoodAtTheDrop) {
    for (const char *title : {"a", "b", "c", "d"})
        store().add(QString::fromLatin1(title), TodoList::Today);
    const auto today = list(QStringLiteral("today"));
    ModelSignals signals_(today.get());

    today->moveMainRow(0, 3);
    EXPECT_EQ(titles(*today), (QStringList{"b", "c", "a", "d"}));
    today->moveMainRow(3, 0);
    EXPECT_EQ(titles(*today), (QStringList{"d", "b", "c", "a"}));
    today->moveMainRow(1, 4);
    EXPECT_EQ(titles(*today), (QStringList{"d", "c", "a", "b"}));
    EXPECT_EQ(signals_.moved.count(), 3);
    EXPECT_EQ(signals_.inserted.count() + signals_.removed.count() + signals_.reset.count(), 0);

    // The order is what the store keeps.
    const auto reopened = list(QStringLiteral("today"));
    EXPECT_EQ(titles(*reopened), (QStringList{"d", "c", "a", "b"}));
}

TEST_F(TaskList, laterCountsDragPositionsAmongItsUndatedRowsOnly) {
    store().add(QStringLiteral("dated"), at(2024, 3, 11));
    for (const char *title : {"p", "q", "r"})
        store().add(QString::fromLatin1(title), TodoList::Later);
    const auto later = list(QStringLiteral("later"));

    later->moveMainRow(2, 0);
    EXPECT_EQ(titles(*later), (QStringList{"dated", "r", "p", "q"}));
    EXPECT_EQ(sections(*later), (QStringList{"Monday, Mar 11", "Later", "Later", "Later"}));
}

TEST_F(TaskList, movingToTheOtherListOffersNoUndo) {
    auto errand = store().add(QStringLiteral("errand"), TodoList::Today);
    auto someday = store().add(QStringLiteral("someday"), TodoList::Later);
    const auto today = list(QStringLiteral("today"));
    const auto later = list(QStringLiteral("later"));

    today->moveToOtherList(errand.get());
    EXPECT_EQ(titles(*today), QStringList{});
    EXPECT_EQ(titles(*later), (QStringList{"someday", "errand"}));
    later->moveToOtherList(someday.get());
    EXPECT_EQ(titles(*today), QStringList{"someday"});
    EXPECT_FALSE(undoCenter.hasPending());
}

TEST_F(TaskList, schedulingADayRowForTodayOffersAnUndoThatPutsItBack) {
    auto item = store().add(QStringLiteral("dentist"), at(2024, 3, 12));
    const auto later = list(QStringLiteral("later"));
    const auto today = list(QStringLiteral("today"));

    later->scheduleForToday(item.get());
    EXPECT_EQ(titles(*later), QStringList{});
    EXPECT_EQ(titles(*today), QStringList{"dentist"});
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 9));
    ASSERT_TRUE(undoCenter.hasPending());
    EXPECT_EQ(undoCenter.message(), QStringLiteral("Scheduled for Today"));
    EXPECT_EQ(undoCenter.systemImage(), QStringLiteral("calendar"));

    undoCenter.usePending();
    EXPECT_EQ(titles(*later), QStringList{"dentist"});
    EXPECT_EQ(sections(*later), QStringList{"Tuesday, Mar 12"});
    EXPECT_FALSE(undoCenter.hasPending());
}

TEST_F(TaskList, aNewReferenceDayBringsTomorrowsToDosIntoTodayRowByRow) {
    store().add(QStringLiteral("today"), TodoList::Today);
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10, 9));
    const auto today = list(QStringLiteral("today"));
    today->setReferenceDay(calendar.startOfDay(clockNow()));
    ModelSignals signals_(today.get());
    EXPECT_EQ(titles(*today), QStringList{"today"});

    setClock(at(2024, 3, 10, 8));
    today->setReferenceDay(calendar.startOfDay(clockNow()));
    QStringList shown = titles(*today);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"today", "tomorrow"}));
    EXPECT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
}

} // namespace
