#include "appfixture.h"
#include "viewmodels/sidebarcounts.h"

using namespace qb;
using qb::test::AppFixture;

namespace {

class Sidebar : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        counts.setApp(app.get());
        counts.setReferenceDay(calendar.startOfDay(clockNow()));
    }
    SidebarCounts counts;
    QSignalSpy changed{&counts, &SidebarCounts::countsChanged};
};

TEST_F(Sidebar, todayCountsOverdueToDosAndNeitherCountsCompletedOnes) {
    store().add(QStringLiteral("overdue"), at(2024, 2, 1));
    store().add(QStringLiteral("today"), TodoList::Today);
    store().add(QStringLiteral("undated"), TodoList::Later);
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10));
    store().toggleCompletion(store().add(QStringLiteral("done today"), TodoList::Today));
    store().toggleCompletion(store().add(QStringLiteral("done later"), TodoList::Later));
    EXPECT_EQ(counts.today(), 2);
    EXPECT_EQ(counts.later(), 2);
}

TEST_F(Sidebar, countsFollowEverySave) {
    auto item = store().add(QStringLiteral("a"), TodoList::Today);
    EXPECT_EQ(counts.today(), 1);
    EXPECT_EQ(changed.count(), 1);
    store().move(item, TodoList::Later);
    EXPECT_EQ(counts.today(), 0);
    EXPECT_EQ(counts.later(), 1);
    store().toggleCompletion(item);
    EXPECT_EQ(counts.later(), 0);
    EXPECT_EQ(changed.count(), 3);

    // A save that changes no count says nothing.
    store().add(QStringLiteral("b"), TodoList::Later);
    changed.clear();
    store().setTitle(find(QStringLiteral("b")), QStringLiteral("renamed"));
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(Sidebar, aNewReferenceDayMovesTomorrowsToDosToToday) {
    store().add(QStringLiteral("tomorrow"), at(2024, 3, 10, 9));
    store().add(QStringLiteral("next week"), at(2024, 3, 16));
    EXPECT_EQ(counts.today(), 0);
    EXPECT_EQ(counts.later(), 2);

    setClock(at(2024, 3, 10, 7));
    counts.setReferenceDay(calendar.startOfDay(clockNow()));
    EXPECT_EQ(counts.today(), 1);
    EXPECT_EQ(counts.later(), 1);
}

} // namespace
