#pragma once

#include "base/singleshottimer.h"
#include "model/calendar.h"
#include "model/clock.h"
#include "sync/davclient.h"
#include "sync/storeside.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QThread>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace qb {
class ModelContainer;
class ModelContext;
} // namespace qb

namespace qb::sync {

// The collection a store syncs with and how to sign in to it.
struct SyncTarget {
    QUrl collection;
    QString user;
    QString password;
};

struct SyncStatus {
    bool running = false;
    QDateTime lastSync; // the last round that succeeded
    QString lastError;  // in words; empty when the last round succeeded
    int pending = 0;    // records changed here and not yet on the server
};

// When the engine acts on its own.
struct SyncTiming {
    std::chrono::milliseconds pushDelay = std::chrono::seconds(2);
    std::chrono::milliseconds pullInterval = std::chrono::minutes(5);
    std::chrono::milliseconds firstRetry = std::chrono::seconds(30);
    std::chrono::milliseconds longestRetry = std::chrono::minutes(15);
};

// Keeps a store and a CalDAV collection in step. A round pulls what changed on the server
// (RFC 6578 sync-collection with its token, or a full listing where that is not supported or
// the token is no longer known), merges it into the records, then pushes the queued records
// with conditional writes. Runs on the main thread; reading fetched objects happens on a worker
// thread that hands plain values back. Everything it writes goes through a context of its own
// and reaches the main context as a remote change.
class SyncEngine : public QObject {
    Q_OBJECT

public:
    using Timing = SyncTiming;
    using TimerFactory = std::function<std::unique_ptr<SingleShotTimer>()>;

    SyncEngine(ModelContainer &container, HttpTransport &transport, const SyncTarget &target,
               const Calendar &calendar, const Clock &clock, TimerFactory timers,
               Timing timing = SyncTiming(), QObject *parent = nullptr);
    ~SyncEngine() override;

    // Follows the main context: its saves and other writers' commits are pushed shortly after,
    // and the server is pulled on a timer. Starts with a full round.
    void start();
    // Pulls and pushes now, or right after the round that is running.
    void syncNow();
    // Pushes the queue after a short delay; later calls move the delay.
    void pushSoon();
    SyncStatus status() const;

signals:
    void statusChanged();
    // After each round.
    void finished(bool succeeded);

private:
    using Then = std::function<void(const std::optional<DavError> &)>;
    struct Parsed;

    void startIfIdle();
    void runRound();
    void finishRound(const std::optional<DavError> &error);
    void scheduleRetry(const DavError &error);

    void pull(Then then);
    void requestChanges(const QString &token, Then then);
    void keepToken(const QString &token);
    void listEverything(Then then);
    void reconcileListing(const QString &token, Then then);
    void reconcilePage(const QString &after, const QString &token, Then then);
    void fetchAndMerge(QList<ResourceTag> changed, QStringList removed, std::function<void()> then,
                       Then failed);
    void fetchNext(std::function<void()> then, Then failed);
    void mergeInChunks(const QList<Parsed> &parsed, qsizetype from, std::function<void()> then,
                       Then failed);
    void mergeParsed(const QList<Parsed> &parsed);
    void readOnWorker(QList<FetchedObject> objects, std::function<void(QList<Parsed>)> then);

    void push(Then then);
    void pushBatch();
    void pumpPush();
    void send(const PushPlan &plan);
    void resolveConflict(const PushPlan &plan);
    void retry(const QUuid &recordId);
    void giveUp(const QUuid &recordId, const QString &problem);
    void requestDone();

    std::optional<DavError> commit();
    void notifyMainContext(bool force);
    QUrl urlOf(const QString &path) const;

    ModelContainer &m_container;
    std::unique_ptr<ModelContext> m_context;
    std::unique_ptr<StoreSide> m_side;
    DavClient m_client;
    QUrl m_collection;
    Calendar m_calendar;
    Clock m_clock;
    Timing m_timing;
    std::unique_ptr<SingleShotTimer> m_pushTimer;
    std::unique_ptr<SingleShotTimer> m_pullTimer;
    std::unique_ptr<SingleShotTimer> m_retryTimer;
    QThread m_readerThread;
    QObject *m_reader = nullptr; // lives on m_readerThread
    QElapsedTimer m_sinceNotified;

    SyncStatus m_status;
    std::optional<DavError> m_openError;
    bool m_wantPull = false;
    bool m_wantPush = false;
    bool m_syncUnsupported = false;
    bool m_credentialsRejected = false;
    int m_failures = 0;

    // The pull under way.
    bool m_listingEverything = false;
    QList<ResourceTag> m_listing;
    QHash<QString, QString> m_unmatched; // listed, and not known with the same tag
    QStringList m_gone;
    QList<ResourceTag> m_toFetch;
    QStringList m_removed;
    QList<RemoteObject> m_waiting;

    // The push under way.
    Then m_pushDone;
    QList<PendingChange> m_queue;
    QSet<QPair<QUuid, qint64>> m_seen;
    QSet<QUuid> m_givenUp;
    QHash<QUuid, int> m_attempts;
    QStringList m_problems;
    std::optional<DavError> m_pushError;
    int m_inFlight = 0;
};

} // namespace qb::sync
