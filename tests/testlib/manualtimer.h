#pragma once

#include "base/singleshottimer.h"

#include <chrono>
#include <functional>
#include <memory>

namespace qb::test {

// A timer the test fires by hand; it remembers the delay it was last started with.
class ManualTimer final : public SingleShotTimer {
public:
    struct State {
        std::chrono::milliseconds delay{-1};
        std::function<void()> action;
    };

    explicit ManualTimer(std::shared_ptr<State> state)
        : m_state(std::move(state)) {}

    void start(std::chrono::milliseconds delay, std::function<void()> action) override {
        m_state->delay = delay;
        m_state->action = std::move(action);
    }
    void stop() override { m_state->action = nullptr; }
    bool isActive() const override { return m_state->action != nullptr; }

private:
    std::shared_ptr<State> m_state;
};

// Runs the pending action once, as the event loop would.
inline bool fire(ManualTimer::State &timer) {
    auto action = std::move(timer.action);
    timer.action = nullptr;
    if (!action)
        return false;
    action();
    return true;
}

} // namespace qb::test
