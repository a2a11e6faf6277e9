#pragma once

#include "manualtimer.h"
#include "updates/feedfetcher.h"

#include <gtest/gtest.h>

#include <memory>

namespace qb::test {

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
