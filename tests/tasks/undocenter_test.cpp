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
    std::unique_ptr<SingleShotTimer> ownedTimer = time.makeTimer();
    SingleShotTimer *timer = ownedTimer.get();
    UndoCenter center{std::move(ownedTimer)};
};

} // namespace

// An offer lasts four seconds; a newer one replaces it and gets its own four seconds.
TEST_F(UndoCenterTest, anOfferLastsFourSecondsFromTheNewestOffer) {
    QSignalSpy changed(&center, &UndoCenter::pendingChanged);
    center.offer(action(QStringLiteral("first")));
    const QUuid first = center.pendingId();
    time.advance(1s);
    center.offer(action(QStringLiteral("second")));
    EXPECT_NE(center.pendingId(), first); // every offer has its own id
    EXPECT_EQ(center.message(), QStringLiteral("second"));
    time.advance(3999ms); // the first offer's four seconds are over
    EXPECT_TRUE(center.hasPending());
    time.advance(1ms);
    EXPECT_FALSE(center.hasPending());
    EXPECT_EQ(changed.count(), 3);
}

// Used or dismissed by hand, nothing is left for the timer: it stops, and no second notice or
// second undo follows.
TEST_F(UndoCenterTest, usingOrDismissingAnOfferEndsItOnce) {
    int runs = 0;
    center.offer(action(QStringLiteral("a"), &runs));
    center.usePending();
    center.usePending();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(center.hasPending());

    center.offer(action(QStringLiteral("b")));
    EXPECT_TRUE(timer->isActive());
    QSignalSpy changed(&center, &UndoCenter::pendingChanged);
    center.dismiss();
    EXPECT_FALSE(timer->isActive());
    time.advance(5s);
    center.dismiss();
    EXPECT_EQ(changed.count(), 1);
}
