#include "tasks/undocenter.h"
#include "virtualtime.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;

namespace {

UndoCenter::Action action(const QString &message, int *runs = nullptr) {
    UndoCenter::Action result;
    result.message = message;
    result.systemImage = QStringLiteral("pencil");
    result.undo = [runs] {
        if (runs)
            ++*runs;
    };
    return result;
}

class UndoCenterTest : public ::testing::Test {
protected:
    test::VirtualTime time;
    UndoCenter center{time.makeTimer()};
};

} // namespace

TEST_F(UndoCenterTest, anOfferLastsFourSeconds) {
    QSignalSpy changed(&center, &UndoCenter::pendingChanged);
    center.offer(action(QStringLiteral("Renamed")));
    EXPECT_EQ(center.message(), QStringLiteral("Renamed"));
    time.advance(3999ms);
    EXPECT_TRUE(center.hasPending());
    time.advance(1ms);
    EXPECT_FALSE(center.hasPending());
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(UndoCenterTest, aNewerOfferReplacesTheOlderAndGetsItsOwnFourSeconds) {
    center.offer(action(QStringLiteral("first")));
    time.advance(1s);
    center.offer(action(QStringLiteral("second")));
    EXPECT_EQ(center.message(), QStringLiteral("second"));
    time.advance(3s); // the first offer's four seconds are over
    EXPECT_EQ(center.message(), QStringLiteral("second"));
    time.advance(1s);
    EXPECT_FALSE(center.hasPending());
}

TEST_F(UndoCenterTest, everyOfferHasItsOwnId) {
    center.offer(action(QStringLiteral("a")));
    const QUuid first = center.pendingId();
    center.offer(action(QStringLiteral("a")));
    EXPECT_NE(center.pendingId(), first);
}

TEST_F(UndoCenterTest, dismissingByHandLeavesNothingForTheTimer) {
    center.offer(action(QStringLiteral("a")));
    center.dismiss();
    QSignalSpy changed(&center, &UndoCenter::pendingChanged);
    time.advance(5s);
    EXPECT_EQ(changed.count(), 0);
    center.dismiss();
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(UndoCenterTest, usingAnOfferRunsItOnceAndRemovesIt) {
    int runs = 0;
    center.offer(action(QStringLiteral("a"), &runs));
    center.usePending();
    center.usePending();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(center.hasPending());
}

TEST_F(UndoCenterTest, dismissingStopsTheCountdown) {
    auto timer = time.makeTimer();
    auto *watched = timer.get();
    auto owned = std::make_unique<UndoCenter>(std::move(timer));
    owned->offer(action(QStringLiteral("a")));
    EXPECT_TRUE(watched->isActive());
    owned->dismiss();
    EXPECT_FALSE(watched->isActive());
}
