#pragma once

#include "manualtimer.h"
#include "updates/feedfetcher.h"
#include "updates/updater.h"

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

inline QByteArray feedOf(const QString &item) {
    return (QStringLiteral(R"(<rss version="2.0" xmlns:qb="https://quillbrook.example/a">)"
                           "<channel>%1</channel></rss>")
                .arg(item))
        .toUtf8();
}

inline const QByteArray feedWithVersion2 = feedOf(QStringLiteral(
    "<item><qb:version>200</qb:version><qb:shortVersionString>2.0</qb:shortVersionString>"
    "<qb:releaseNotesLink>https://quillbrook.example/notes/2.0</qb:releaseNotesLink>"
    R"(<enclosure url="https://quillbrook.example/2.0.tar.gz"/></item>)"));

// Updaters of version 1.5 that fetch and wait through the scripted fetcher and a manual timer.
class UpdaterFixture : public ::testing::Test {
protected:
    std::unique_ptr<Updater> makeUpdater(const QString &feed = "https://quillbrook.example/feed") {
        using namespace std::chrono_literals;
        UpdaterConfig config;
        config.feedUrl = QUrl(feed);
        config.currentVersion = QStringLiteral("1.5");
        config.firstCheckDelay = 30s;
        config.checkInterval = 24h;
        return std::make_unique<Updater>(config, std::make_unique<ScriptedFetcher>(fetcher),
                                         std::make_unique<ManualTimer>(timer));
    }

    std::shared_ptr<ScriptedFetcher::State> fetcher = std::make_shared<ScriptedFetcher::State>();
    std::shared_ptr<ManualTimer::State> timer = std::make_shared<ManualTimer::State>();
};

} // namespace qb::test
