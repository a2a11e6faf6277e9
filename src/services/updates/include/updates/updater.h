#pragma once

#include "base/singleshottimer.h"
#include "updates/feedfetcher.h"
#include "updates/updateoutcome.h"

#include <QObject>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

namespace qb {

class Preferences;

struct UpdaterConfig {
    QUrl feedUrl;           // no checks at all when empty or not an allowed feed URL
    QString currentVersion; // compared with each release's version
    std::chrono::milliseconds firstCheckDelay = std::chrono::minutes(1);
    std::chrono::milliseconds checkInterval = std::chrono::hours(24);

    // The running build: its version and the feed URL it was configured with, unless the
    // preferences name another feed.
    static UpdaterConfig forThisBuild(const Preferences &preferences);
};

// Checks an appcast feed for a newer release: once a day in the background (the first time
// shortly after start()) and whenever the user asks. It only reports; downloading and
// installing are left to the user, whom the UI can send to the download page.
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    Updater(UpdaterConfig config, std::unique_ptr<FeedFetcher> fetcher,
            std::unique_ptr<SingleShotTimer> timer, QObject *parent = nullptr);
    ~Updater() override;

    // Starts the daily schedule. Does nothing without a usable feed or when already started.
    void start();

    // False while a check runs and when no usable feed is configured.
    bool canCheckForUpdates() const;
    bool isChecking() const { return m_checking; }
    // The running version, as outcomes are measured against it.
    const QString &currentVersion() const { return m_config.currentVersion; }

    // A check the user asked for. Returns false, and does nothing, when no check may start.
    Q_INVOKABLE bool checkForUpdates();

    // The result of the latest finished check, if any.
    const std::optional<UpdateOutcome> &lastOutcome() const { return m_lastOutcome; }

signals:
    void canCheckForUpdatesChanged(bool canCheck);
    // A check ended; lastOutcome() holds its result. Background failures are for the UI to
    // ignore: nothing is reported unless the user asked.
    void checkFinished(bool userInitiated);

private:
    bool hasUsableFeed() const;
    bool beginCheck(bool userInitiated);
    void finishCheck(bool userInitiated, const FetchResult &result);
    void scheduleNext(std::chrono::milliseconds delay);

    UpdaterConfig m_config;
    std::unique_ptr<FeedFetcher> m_fetcher;
    std::unique_ptr<SingleShotTimer> m_timer;
    std::optional<UpdateOutcome> m_lastOutcome;
    bool m_started = false;
    bool m_checking = false;
};

} // namespace qb
