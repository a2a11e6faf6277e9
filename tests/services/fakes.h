#pragma once

#include "services/feedfetcher.h"
#include "services/singleshottimer.h"

#include <gtest/gtest.h>

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

// A fetcher whose answers the test gives. Shared state outlives the fetcher so tests can see
// what happened after the updater owning it is gone.
class ScriptedFetcher final : public FeedFetcher {
public:
    struct State {
        QList<QUrl> requested;
        Completion pending;
        bool destroyed = false;
    };

    explicit ScriptedFetcher(std::shared_ptr<State> state)
        : m_state(std::move(state)) {}
    ~ScriptedFetcher() override {
        m_state->destroyed = true;
        m_state->pending = nullptr;
    }

    void fetch(const QUrl &url, Completion done) override {
        m_state->requested.append(url);
        m_state->pending = std::move(done);
    }

private:
    std::shared_ptr<State> m_state;
};

inline void answer(ScriptedFetcher::State &fetcher, const FetchResult &result) {
    auto done = std::move(fetcher.pending);
    fetcher.pending = nullptr;
    ASSERT_TRUE(done) << "no fetch is pending";
    done(result);
}

} // namespace qb::test
