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
        return leave;
    }

    test::VirtualTime time;
    bool wanted = true;
    int acted = 0;
};

} // namespace

TEST_F(FocusLeaving, actsOnceWhenFocusStaysAwayForTheDelay) {
    auto leave = make();
    EXPECT_TRUE(leave->setFocused(true));
    EXPECT_FALSE(leave->setFocused(true));
    EXPECT_TRUE(leave->setFocused(false));
    time.advance(199ms);
    EXPECT_EQ(acted, 0);
    time.advance(1ms);
    EXPECT_EQ(acted, 1);
    time.advance(1s);
    EXPECT_EQ(acted, 1);
}

TEST_F(FocusLeaving, focusComingBackOrACancelWithinTheDelayDropsTheAction) {
    auto leave = make();
    leave->setFocused(true);
    leave->setFocused(false);
    time.advance(150ms);
    leave->setFocused(true);
    time.advance(1s);
    leave->setFocused(false);
    leave->cancel();
    time.advance(1s);
    EXPECT_EQ(acted, 0);
    EXPECT_FALSE(leave->hasFocus());
}

TEST_F(FocusLeaving, actsOnlyIfTheActionIsWantedBothWhenFocusLeavesAndAfterTheDelay) {
    auto leave = make();
    wanted = false;
    leave->setFocused(true);
    leave->setFocused(false);
    wanted = true;
    time.advance(1s);
    EXPECT_EQ(acted, 0);

    leave->setFocused(true);
    leave->setFocused(false);
    wanted = false;
    time.advance(1s);
    EXPECT_EQ(acted, 0);
}

TEST_F(FocusLeaving, anOwnerGoneBeforeTheDelayIsOverLeavesNothingToRun) {
    auto leave = make();
    leave->setFocused(true);
    leave->setFocused(false);
    leave.reset();
    time.advance(1s);
    EXPECT_EQ(acted, 0);
}
