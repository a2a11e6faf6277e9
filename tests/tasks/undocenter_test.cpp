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
    const QUuid first = center.pendingId();
    time.advance(1s);
    center.offer(action(QStringLiteral("second")));
    EXPECT_NE(center.pendingId(), first); // every offer has its own id
    EXPECT_EQ(center.message(), QStringLiteral("second"));
    time.advance(3s); // the first offer's four seconds are over
    EXPECT_EQ(center.message(), QStringLiteral("second"));
    time.advance(1s);
    EXPECT_FALSE(center.hasPending());
}

TEST_F(UndoCenterTest, usingAnOfferRunsItOnceAndRemovesIt) {
    int runs = 0;
    center.offer(action(QStringLiteral("a"), &runs));
    center.usePending();
    center.usePending();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(center.hasPending());
}

// Dismissed by hand, nothing is left for the timer: it stops, and no second notice follows.
TEST(UndoCenter, dismissingStopsTheCountdown) {
    test::VirtualTime time;
    auto timer = time.makeTimer();
    auto *watched = timer.get();
    UndoCenter center(std::move(timer));
    center.offer(action(QStringLiteral("a")));
    EXPECT_TRUE(watched->isActive());
    QSignalSpy changed(&center, &UndoCenter::pendingChanged);
    center.dismiss();
    EXPECT_FALSE(watched->isActive());
    time.advance(5s);
    center.dismiss();
    EXPECT_EQ(changed.count(), 1);
}
