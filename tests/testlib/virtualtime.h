#pragma once

#include "base/singleshottimer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace qb::test {

// Time that moves only when the test says so. Timers made from it fire, in deadline order,
// as `advance` passes their deadlines.
class VirtualTime {
public:
    using Milliseconds = std::chrono::milliseconds;

    Milliseconds now() const { return m_now; }
    std::unique_ptr<SingleShotTimer> makeTimer();
    void advance(Milliseconds step);

private:
    struct Slot {
        Milliseconds deadline{0};
        std::function<void()> action;
    };
    class Timer;

    Milliseconds m_now{0};
    std::vector<std::shared_ptr<Slot>> m_slots;
};

} // namespace qb::test
