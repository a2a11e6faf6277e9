#include "updates/updater.h"

#include "preferences/preferences.h"
#include "updates/feedurlpolicy.h"

namespace qb {

UpdaterConfig UpdaterConfig::forThisBuild(const Preferences &preferences) {
    UpdaterConfig config;
    const QUrl override = preferences.updateFeedUrlOverride();
    config.feedUrl = override.isEmpty() ? QUrl(QStringLiteral(QB_UPDATE_FEED_URL)) : override;
    config.currentVersion = QStringLiteral(QB_VERSION);
    return config;
}

Updater::Updater(UpdaterConfig config, std::unique_ptr<FeedFetcher> fetcher,
                 std::unique_ptr<SingleShotTimer> timer, QObject *parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_fetcher(std::move(fetcher))
    , m_timer(std::move(timer)) {}

// Out of line: the fetcher must go (dropping its pending completion) before anything else.
Updater::~Updater() {
    m_fetcher.reset();
}

bool Updater::hasUsableFeed() const {
    return m_fetcher && isAllowedFeedUrl(m_config.feedUrl);
}

bool Updater::canCheckForUpdates() const {
    return hasUsableFeed() && !m_checking;
}

void Updater::start() {
    if (m_started || !hasUsableFeed())
        return;
    m_started = true;
    scheduleNext(m_config.firstCheckDelay);
}

bool Updater::checkForUpdates() {
    return beginCheck(true);
}

bool Updater::beginCheck(bool userInitiated) {
    if (!canCheckForUpdates())
        return false;
    m_checking = true;
    emit canCheckForUpdatesChanged(false);
    m_fetcher->fetch(m_config.feedUrl, [this, userInitiated](const FetchResult &result) {
        finishCheck(userInitiated, result);
    });
    return true;
}

void Updater::finishCheck(bool userInitiated, const FetchResult &result) {
    m_checking = false;
    m_lastOutcome = result.ok() ? outcomeForFeed(result.body, m_config.currentVersion)
                                : UpdateOutcome(UpdateCheckFailed{result.error});
    // Any finished check, the user's included, counts as today's.
    if (m_started)
        scheduleNext(m_config.checkInterval);
    emit canCheckForUpdatesChanged(true);
    emit checkFinished(userInitiated);
}

void Updater::scheduleNext(std::chrono::milliseconds delay) {
    if (!m_timer)
        return;
    m_timer->start(delay, [this] {
        // A check the user started is running: its end schedules the next one.
        if (!beginCheck(false) && !m_checking)
            scheduleNext(m_config.checkInterval);
    });
}

} // namespace qb
