#include "keyboard/focusleave.h"
#include "virtualtime.h"

#include <gtest/gtest.h>

using namespace qb;
using namespace std::chrono_literals;

namespace {

class FocusLeaving : public ::testing::Test {
protected:
    std::unique_ptr<FocusLeave> make() {
        auto leave = std::make_unique<FocusLeave>(
            200ms, [this] { return wanted; }, [this] { ++acted; });
        leave->setTimer(time.makeTimer());
        leave->setFocused(true);
        return leave;
    }

    test::VirtualTime time;
    bool wanted = true;
    int acted = 0;
};

} // namespace

TEST_F(FocusLeaving, actsOnceWhenFocusStaysAwayForTheDelay) {
    auto leave = make();
    EXPECT_FALSE(leave->setFocused(true));
    EXPECT_TRUE(leave->setFocused(false));
    time.advance(199ms);
    EXPECT_EQ(acted, 0);
    time.advance(1ms);
    EXPECT_EQ(acted, 1);
    time.advance(1s);
    EXPECT_EQ(acted, 1);
}

// Focus coming back, a cancel, an action no longer wanted when focus leaves or when the delay
// is over, and an owner gone meanwhile each leave nothing to run.
TEST_F(FocusLeaving, anythingThatEndsTheWaitDropsTheAction) {
    auto leave = make();
    leave->setFocused(false);
    time.advance(150ms);
    leave->setFocused(true);
    time.advance(1s);
    leave->setFocused(false);
    leave->cancel();
    time.advance(1s);
    EXPECT_FALSE(leave->hasFocus());

    leave->setFocused(true);
    wanted = false;
    leave->setFocused(false);
    wanted = true;
    time.advance(1s);

    leave->setFocused(true);
    leave->setFocused(false);
    wanted = false;
    time.advance(1s);

    wanted = true;
    leave->setFocused(true);
    leave->setFocused(false);
    leave.reset();
    time.advance(1s);
    EXPECT_EQ(acted, 0);
}
