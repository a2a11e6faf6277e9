#include "sync/syncengine.h"

#include "store/modelcontainer.h"
#include "store/modelcontext.h"

#include <QTimeZone>

namespace qb::sync {

namespace {

constexpr int fetchBatch = 100;
// Objects merged per transaction, and ledger rows compared per turn of the event loop: each
// takes the main thread a few milliseconds.
constexpr int mergeChunk = 25;
constexpr int ledgerPage = 2000;
constexpr int pushBatchSize = 200;
constexpr int parallelWrites = 4;
constexpr int attemptsPerRecord = 3;
constexpr auto notifyInterval = std::chrono::milliseconds(250);
// Some servers drop a sync token a week after a newer one was handed out, and answer the
// dropped token with a listing of what the list holds now, without the deletions in between,
// as if it were a list of changes. A token not renewed for this long is not sent.
constexpr qint64 trustedTokenSeconds = 3 * 24 * 3600;

const QString tokenKey = QStringLiteral("token");
const QString tokenReceivedKey = QStringLiteral("tokenReceived");
const QString lastSyncKey = QStringLiteral("lastSync");
const QString lastErrorKey = QStringLiteral("lastError");

DavError localError(const QString &message) {
    return {DavError::Kind::Local, QStringLiteral("The store could not be updated: ") + message, 0};
}

} // namespace

struct SyncEngine::Parsed {
    FetchedObject object;
    std::optional<VTodo> todo;
};

SyncEngine::SyncEngine(ModelContainer &container, HttpTransport &transport,
                       const SyncTarget &target, const Calendar &calendar, const Clock &clock,
                       TimerFactory timers, Timing timing, QObject *parent)
    : QObject(parent)
    , m_container(container)
    , m_client(transport, target.user, target.password)
    , m_collection(target.collection)
    , m_calendar(calendar)
    , m_clock(clock)
    , m_timing(timing)
    , m_pushTimer(timers())
    , m_pullTimer(timers())
    , m_retryTimer(timers()) {
    auto context = container.newContext();
    if (context) {
        m_context = std::move(context.value());
        m_side = std::make_unique<StoreSide>(*m_context, m_collection.path(QUrl::FullyDecoded),
                                             m_calendar, m_clock);
        SyncLedger &ledger = m_side->ledger();
        m_status.lastError = ledger.value(lastErrorKey).valueOr({});
        m_status.lastSync =
            QDateTime::fromString(ledger.value(lastSyncKey).valueOr({}), Qt::ISODateWithMs);
        m_status.pending = ledger.pendingCount().valueOr(0);
    } else {
        m_openError = localError(context.message());
        m_status.lastError = m_openError->message;
    }
    m_reader = new QObject;
    m_reader->moveToThread(&m_readerThread);
    connect(&m_readerThread, &QThread::finished, m_reader, &QObject::deleteLater);
    m_readerThread.start();
    m_sinceNotified.start();
}

SyncEngine::~SyncEngine() {
    // The reader may be reading; it must be done before anything it reports to goes away.
    m_readerThread.quit();
    m_readerThread.wait();
}

SyncStatus SyncEngine::status() const {
    return m_status;
}

void SyncEngine::start() {
    ModelContext &main = m_container.mainContext();
    connect(&main, &ModelContext::didSave, this, &SyncEngine::pushSoon);
    // Commits by other writers (the command-line client) may have queued records; our own
    // commits reach the main context this way too, so only a non-empty queue counts.
    connect(&main, &ModelContext::remoteChange, this, [this] {
        if (m_side && !m_status.running && m_side->ledger().pendingCount().valueOr(0) > 0)
            pushSoon();
    });
    syncNow();
}

void SyncEngine::syncNow() {
    m_credentialsRejected = false;
    m_retryTimer->stop();
    m_wantPull = true;
    m_wantPush = true;
    startIfIdle();
}

void SyncEngine::pushSoon() {
    if (m_credentialsRejected)
        return;
    m_pushTimer->start(m_timing.pushDelay, [this] {
        m_wantPush = true;
        startIfIdle();
    });
}

void SyncEngine::startIfIdle() {
    if (m_status.running || (!m_wantPull && !m_wantPush))
        return;
    // Later, from the event loop: a round never starts inside another's completion.
    QMetaObject::invokeMethod(this, &SyncEngine::runRound, Qt::QueuedConnection);
    m_status.running = true;
}

void SyncEngine::runRound() {
    if (m_openError) {
        finishRound(m_openError);
        return;
    }
    const bool pulling = std::exchange(m_wantPull, false);
    m_wantPush = false;
    m_pullTimer->stop();
    emit statusChanged();
    const Then afterPull = [this](const std::optional<DavError> &error) {
        if (error)
            finishRound(error);
        else
            push([this](const std::optional<DavError> &error) { finishRound(error); });
    };
    if (pulling)
        pull(afterPull);
    else
        afterPull(std::nullopt);
}

void SyncEngine::finishRound(const std::optional<DavError> &error) {
    if (m_side) {
        SyncLedger &ledger = m_side->ledger();
        if (error) {
            ledger.setValue(lastErrorKey, error->message);
        } else {
            m_status.lastSync = m_clock.now();
            ledger.setValue(lastSyncKey, m_status.lastSync.toString(Qt::ISODateWithMs));
            ledger.removeValue(lastErrorKey);
        }
        commit();
        m_status.pending = ledger.pendingCount().valueOr(m_status.pending);
        notifyMainContext(true);
    }
    m_status.running = false;
    m_status.lastError = error ? error->message : QString();
    if (error) {
        scheduleRetry(*error);
    } else {
        m_failures = 0;
        m_pullTimer->start(m_timing.pullInterval, [this] {
            m_wantPull = true;
            startIfIdle();
        });
    }
    emit statusChanged();
    emit finished(!error);
    startIfIdle();
}

void SyncEngine::scheduleRetry(const DavError &error) {
    // A rejected password is not tried again until the user acts.
    if (error.kind == DavError::Kind::Credentials) {
        m_credentialsRejected = true;
        m_wantPull = m_wantPush = false;
        return;
    }
    ++m_failures;
    auto delay = m_timing.firstRetry * (1 << std::min(m_failures - 1, 10));
    delay = std::min(delay, m_timing.longestRetry);
    m_retryTimer->start(delay, [this] {
        m_wantPull = m_wantPush = true;
        startIfIdle();
    });
}

std::optional<DavError> SyncEngine::commit() {
    if (const Status status = m_side->commit(); !status)
        return localError(status.message());
    notifyMainContext(false);
    return std::nullopt;
}

void SyncEngine::notifyMainContext(bool force) {
    if (!force && m_sinceNotified.elapsed() < notifyInterval.count())
        return;
    m_sinceNotified.restart();
    m_container.mainContext().checkForRemoteChanges();
}

QUrl SyncEngine::urlOf(const QString &path) const {
    return dav::urlOf(m_collection, path);
}

// Pull ---------------------------------------------------------------------------------------

void SyncEngine::pull(Then then) {
    m_listing.clear();
    m_waiting.clear();
    m_listingEverything = false;
    if (m_syncUnsupported) {
        listEverything(std::move(then));
        return;
    }
    SyncLedger &ledger = m_side->ledger();
    const QDateTime received =
        QDateTime::fromString(ledger.value(tokenReceivedKey).valueOr({}), Qt::ISODateWithMs);
    const bool trusted = received.isValid() && received.secsTo(m_clock.now()) < trustedTokenSeconds;
    // Without a token the report lists every member, and what is missing from it is removed.
    requestChanges(trusted ? ledger.value(tokenKey).valueOr({}) : QString(), std::move(then));
}

void SyncEngine::keepToken(const QString &token) {
    m_side->ledger().setValue(tokenKey, token);
    m_side->ledger().setValue(tokenReceivedKey, m_clock.now().toString(Qt::ISODateWithMs));
}

void SyncEngine::requestChanges(const QString &token, Then then) {
    m_client.syncCollection(
        m_collection, token, [this, token, then](const DavResult<SyncReport> &r) {
            if (r.error) {
                if (r.error->kind == DavError::Kind::InvalidToken && !token.isEmpty()) {
                    // The server forgot our place: everything is compared again.
                    m_side->ledger().removeValue(tokenKey);
                    if (const auto failed = commit())
                        return then(failed);
                    return requestChanges(QString(), then);
                }
                if (token.isEmpty() && (r.error->kind == DavError::Kind::Unsupported ||
                                        r.error->kind == DavError::Kind::Forbidden)) {
                    m_syncUnsupported = true;
                    return listEverything(then);
                }
                return then(r.error);
            }
            if (token.isEmpty() || m_listingEverything) {
                // From no token the report lists every member: a full listing, maybe in parts.
                m_listingEverything = true;
                for (const QString &path : r.value.removed)
                    m_listing.removeIf([&](const ResourceTag &tag) { return tag.path == path; });
                m_listing += r.value.changed;
                if (r.value.truncated)
                    return requestChanges(r.value.token, then);
                return reconcileListing(r.value.token, then);
            }
            QList<ResourceTag> changed;
            for (const ResourceTag &tag : r.value.changed) {
                // Our own writes come back in the report with the tag we already hold.
                const auto known = m_side->ledger().resourceAt(tag.path).valueOr(std::nullopt);
                if (!known || known->etag != tag.etag || tag.etag.isEmpty())
                    changed.append(tag);
            }
            const SyncReport report = r.value;
            fetchAndMerge(
                changed, report.removed,
                [this, report, then] {
                    keepToken(report.token);
                    if (const auto failed = commit())
                        return then(failed);
                    if (report.truncated)
                        return requestChanges(report.token, then);
                    then(std::nullopt);
                },
                then);
        });
}

void SyncEngine::listEverything(Then then) {
    m_client.listTodos(m_collection, [this, then](const DavResult<QList<ResourceTag>> &r) {
        if (r.error)
            return then(r.error);
        m_listing = r.value;
        m_listingEverything = true;
        reconcileListing(QString(), then);
    });
}

void SyncEngine::reconcileListing(const QString &token, Then then) {
    // What the listing says, path to tag; compared with the ledger a page at a time so a list
    // of thousands never holds the main thread for long.
    m_unmatched.clear();
    m_unmatched.reserve(m_listing.size());
    for (const ResourceTag &tag : std::as_const(m_listing))
        m_unmatched.insert(tag.path, tag.etag);
    m_listing.clear();
    m_gone.clear();
    reconcilePage(QString(), token, std::move(then));
}

void SyncEngine::reconcilePage(const QString &after, const QString &token, Then then) {
    const auto page = m_side->ledger().entityTags(after, ledgerPage);
    if (!page)
        return then(localError(page.message()));
    for (const auto &[path, etag] : page.value()) {
        const auto listed = m_unmatched.constFind(path);
        if (listed == m_unmatched.constEnd())
            m_gone.append(path); // no longer on the server
        else if (listed.value() == etag && !etag.isEmpty())
            m_unmatched.erase(listed); // unchanged since we last saw it
    }
    if (page.value().size() == ledgerPage) {
        const QString last = page.value().last().first;
        QMetaObject::invokeMethod(
            this, [this, last, token, then] { reconcilePage(last, token, then); },
            Qt::QueuedConnection);
        return;
    }
    QList<ResourceTag> changed;
    changed.reserve(m_unmatched.size());
    for (auto it = m_unmatched.constBegin(); it != m_unmatched.constEnd(); ++it)
        changed.append({it.key(), it.value()});
    m_unmatched.clear();
    fetchAndMerge(
        changed, std::exchange(m_gone, {}),
        [this, token, then] {
            if (!token.isEmpty())
                keepToken(token);
            if (const auto failed = commit())
                return then(failed);
            then(std::nullopt);
        },
        then);
}

void SyncEngine::fetchAndMerge(QList<ResourceTag> changed, QStringList removed,
                               std::function<void()> then, Then failed) {
    m_toFetch = std::move(changed);
    m_removed = std::move(removed);
    fetchNext(std::move(then), std::move(failed));
}

void SyncEngine::fetchNext(std::function<void()> then, Then failed) {
    if (m_toFetch.isEmpty()) {
        // Subtasks whose to-do never came become to-dos; then what the server no longer has.
        for (const RemoteObject &object : std::as_const(m_waiting))
            m_side->merge(object, false);
        m_waiting.clear();
        for (const QString &path : std::as_const(m_removed))
            m_side->removeAt(path);
        m_removed.clear();
        if (const auto error = commit())
            return failed(error);
        return then();
    }
    QStringList paths;
    while (!m_toFetch.isEmpty() && paths.size() < fetchBatch)
        paths.append(m_toFetch.takeFirst().path);
    m_client.multiget(m_collection, paths,
                      [this, then, failed](const DavResult<QList<FetchedObject>> &r) {
                          if (r.error)
                              return failed(r.error);
                          readOnWorker(r.value, [this, then, failed](const QList<Parsed> &parsed) {
                              mergeInChunks(parsed, 0, then, failed);
                          });
                      });
}

void SyncEngine::readOnWorker(QList<FetchedObject> objects,
                              std::function<void(QList<Parsed>)> then) {
    const QTimeZone zone(m_calendar.timeZoneId().toUtf8());
    QMetaObject::invokeMethod(
        m_reader,
        [this, objects = std::move(objects), zone, then = std::move(then)] {
            QList<Parsed> parsed;
            parsed.reserve(objects.size());
            for (const FetchedObject &object : objects) {
                auto todo = readVTodo(object.data, zone);
                parsed.append(
                    {object, todo ? std::optional<VTodo>(std::move(todo.value())) : std::nullopt});
            }
            QMetaObject::invokeMethod(
                this, [parsed = std::move(parsed), then] { then(parsed); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void SyncEngine::mergeInChunks(const QList<Parsed> &parsed, qsizetype from,
                               std::function<void()> then, Then failed) {
    const qsizetype to = std::min(parsed.size(), from + qsizetype(mergeChunk));
    mergeParsed(parsed.mid(from, to - from));
    if (const auto error = commit())
        return failed(error);
    if (to == parsed.size())
        return fetchNext(then, failed);
    // One transaction at a time, with the event loop's turn between them.
    QMetaObject::invokeMethod(
        this, [this, parsed, to, then, failed] { mergeInChunks(parsed, to, then, failed); },
        Qt::QueuedConnection);
}

void SyncEngine::mergeParsed(const QList<Parsed> &parsed) {
    for (const Parsed &item : parsed) {
        // An object we cannot read (malformed, too large, not a to-do) is left on the server.
        if (!item.todo)
            continue;
        const RemoteObject object{item.object.path, item.object.etag, item.object.data, *item.todo};
        if (m_side->merge(object, true) == StoreSide::Merge::Waiting)
            m_waiting.append(object);
    }
}

// Push ---------------------------------------------------------------------------------------

void SyncEngine::push(Then then) {
    m_pushDone = std::move(then);
    m_seen.clear();
    m_givenUp.clear();
    m_attempts.clear();
    m_problems.clear();
    m_pushError.reset();
    pushBatch();
}

void SyncEngine::pushBatch() {
    const auto pending = m_side->ledger().pending();
    if (!pending) {
        m_pushDone(localError(pending.message()));
        return;
    }
    m_queue.clear();
    for (const PendingChange &change : pending.value()) {
        if (m_givenUp.contains(change.recordId) ||
            m_seen.contains({change.recordId, change.sequence}))
            continue;
        m_queue.append(change);
        if (m_queue.size() == pushBatchSize)
            break;
    }
    m_status.pending = int(pending.value().size());
    emit statusChanged();
    if (m_queue.isEmpty()) {
        Then done = std::move(m_pushDone);
        if (!m_problems.isEmpty())
            return done(DavError{DavError::Kind::Refused, m_problems.first(), 0});
        return done(std::nullopt);
    }
    pumpPush();
}

void SyncEngine::pumpPush() {
    while (m_inFlight < parallelWrites && !m_queue.isEmpty() && !m_pushError) {
        const PendingChange change = m_queue.takeFirst();
        m_seen.insert({change.recordId, change.sequence});
        const auto plan = m_side->plan(change);
        if (!plan) {
            m_pushError = localError(plan.message());
            break;
        }
        if (plan.value().action != PushPlan::Action::Nothing)
            send(plan.value());
    }
    if (m_inFlight > 0)
        return;
    if (const auto error = commit(); error && !m_pushError)
        m_pushError = error;
    if (m_pushError) {
        Then done = std::move(m_pushDone);
        done(std::exchange(m_pushError, std::nullopt));
        return;
    }
    // The next batch from the event loop, so a long queue never holds the thread.
    QMetaObject::invokeMethod(this, &SyncEngine::pushBatch, Qt::QueuedConnection);
}

void SyncEngine::requestDone() {
    --m_inFlight;
    pumpPush();
}

void SyncEngine::send(const PushPlan &plan) {
    ++m_inFlight;
    const auto handle = [this, plan](const DavResult<WriteOutcome> &r) {
        if (r.error) {
            if (!m_pushError)
                m_pushError = r.error;
            return requestDone();
        }
        const int status = r.value.status;
        if (status >= 200 && status < 300) {
            m_side->accepted(plan, r.value.etag);
        } else if (status == 412) {
            // Changed on the server since we last saw it: merge, then write again.
            return resolveConflict(plan);
        } else if (plan.action == PushPlan::Action::Delete && (status == 404 || status == 410)) {
            m_side->accepted(plan, QString());
        } else if (status == 404 || status == 410) {
            // Deleted on the server, edited here: the edit wins and the object comes back.
            m_side->forgetResource(plan.change.recordId);
            if (const auto error = commit(); error && !m_pushError)
                m_pushError = error;
            return retry(plan.change.recordId);
        } else if (r.value.conditions.contains(dav::key(dav::caldavNamespace, "no-uid-conflict"))) {
            // Another resource holds this UID: the next pull compares everything.
            m_side->ledger().removeValue(tokenKey);
            giveUp(plan.change.recordId,
                   QStringLiteral("The server already holds this to-do under another name."));
        } else {
            giveUp(plan.change.recordId,
                   QStringLiteral("The server refused a to-do (%1).").arg(status));
        }
        requestDone();
    };
    if (plan.action == PushPlan::Action::Delete)
        m_client.remove(urlOf(plan.path), plan.etag, handle);
    else
        m_client.put(urlOf(plan.path), plan.body, plan.etag, handle);
}

void SyncEngine::resolveConflict(const PushPlan &plan) {
    m_client.get(urlOf(plan.path), [this, plan](const DavResult<FetchedObject> &r) {
        if (r.error && r.error->kind == DavError::Kind::Missing) {
            m_side->forgetResource(plan.change.recordId);
        } else if (r.error) {
            if (!m_pushError)
                m_pushError = r.error;
            return requestDone();
        } else {
            auto todo = readVTodo(r.value.data, QTimeZone(m_calendar.timeZoneId().toUtf8()));
            if (!todo) {
                giveUp(plan.change.recordId,
                       QStringLiteral("A to-do on the server cannot be read: ") + todo.message());
                return requestDone();
            }
            m_side->merge({plan.path, r.value.etag, r.value.data, todo.value()}, false);
        }
        if (const auto error = commit(); error && !m_pushError)
            m_pushError = error;
        retry(plan.change.recordId);
    });
}

void SyncEngine::retry(const QUuid &recordId) {
    if (++m_attempts[recordId] >= attemptsPerRecord) {
        giveUp(recordId, QStringLiteral("The server kept refusing a change; it will be sent "
                                        "again later."));
        return requestDone();
    }
    const auto change = m_side->ledger().pendingChange(recordId);
    // The merge may have left nothing to send.
    if (change && change.value() && !m_pushError) {
        const auto plan = m_side->plan(*change.value());
        if (plan && plan.value().action != PushPlan::Action::Nothing) {
            --m_inFlight;
            return send(plan.value());
        }
    }
    requestDone();
}

void SyncEngine::giveUp(const QUuid &recordId, const QString &problem) {
    m_givenUp.insert(recordId);
    m_problems.append(problem);
}

} // namespace qb::sync
