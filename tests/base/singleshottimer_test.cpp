#include "base/singleshottimer.h"

#include <QEventLoop>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace qb;
using namespace std::chrono;

// The undo offer and the deferred completion promise a number of seconds. Qt's default coarse
// timers may end up to 5% early to share wake-ups (0.2 s of a 4-second undo offer): a 400 ms
// one whose deadline falls 10 to 20 ms past a multiple of 200 ms of the monotonic clock is
// moved back to that multiple. Started at such a moment, the timer still waits its full delay.
TEST(QtSingleShotTimer, neverEndsBeforeItsDelay) {
    constexpr milliseconds delay{400};
    QtSingleShotTimer timer;
    QEventLoop loop;
    while (floor<milliseconds>(steady_clock::now().time_since_epoch() + delay) % 200ms != 14ms)
        std::this_thread::sleep_for(microseconds(200));
    const auto started = steady_clock::now();
    steady_clock::time_point fired;
    timer.start(delay, [&] {
        fired = steady_clock::now();
        loop.quit();
    });
    loop.exec();
    EXPECT_GE(fired - started, delay);
}
