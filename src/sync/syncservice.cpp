#include "sync/syncservice.h"

#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/syncledger.h"
#include "sync/collectionfinder.h"

namespace qb::sync {

SyncService::SyncService(Parts parts, QObject *parent)
    : QObject(parent)
    , m_parts(std::move(parts)) {
    m_account = SyncAccount::load(*m_parts.settings());
}

SyncService::~SyncService() = default;

SyncStatus SyncService::status() const {
    if (m_engine)
        return m_engine->status();
    SyncStatus status;
    SyncLedger ledger(m_parts.container->mainContext());
    status.lastError = ledger.value(QStringLiteral("lastError")).valueOr({});
    status.lastSync = QDateTime::fromString(ledger.value(QStringLiteral("lastSync")).valueOr({}),
                                            Qt::ISODateWithMs);
    status.pending = ledger.pendingCount().valueOr(0);
    return status;
}

bool SyncService::isSignedIn() const {
    if (!isConfigured() || !m_parts.enabled)
        return false;
    const SyncStatus now = status();
    return now.lastSync.isValid() && now.lastError.isEmpty();
}

bool SyncService::isSyncing() const {
    return m_engine && m_engine->status().running;
}

void SyncService::start() {
    if (!m_parts.enabled || !isConfigured() || m_engine)
        return;
    m_parts.credentials->read(m_account.keyringKey(), [this](const CredentialStore::Answer &a) {
        if (a.password) {
            startEngine(*a.password);
            return;
        }
        m_problem = a.problem;
        emit changed();
    });
}

void SyncService::usePassword(const QString &password) {
    if (!isConfigured() || password.isEmpty())
        return;
    startEngine(password);
}

void SyncService::startEngine(const QString &password) {
    stopEngine();
    m_transport = m_parts.transports();
    m_engine =
        std::make_unique<SyncEngine>(*m_parts.container, *m_transport,
                                     SyncTarget{m_account.collection, m_account.user, password},
                                     m_parts.calendar, m_parts.clock, m_parts.timers);
    connect(m_engine.get(), &SyncEngine::statusChanged, this, &SyncService::changed);
    m_engine->start();
    emit changed();
}

void SyncService::stopEngine() {
    m_engine.reset();
    m_transport.reset();
}

void SyncService::syncNow() {
    if (m_engine)
        m_engine->syncNow();
}

void SyncService::signIn(const QUrl &server, const QString &user, const QString &password,
                         const QString &listName) {
    if (!m_parts.enabled || m_finder)
        return;
    auto transport = m_parts.transports();
    m_finder = std::make_unique<CollectionFinder>(*transport, user, password);
    emit changed();
    m_finder->find(
        server, listName,
        [this, server, user, password,
         transport = std::shared_ptr<HttpTransport>(std::move(transport))](
            const DavResult<FoundCollection> &found) {
            // The finder is done with, but this completion runs inside it: it is
            // let go now, so that a new sign-in may start from the answer below,
            // and deleted once this returns.
            QMetaObject::invokeMethod(
                this,
                [finished = std::shared_ptr<CollectionFinder>(std::move(m_finder)), transport] {},
                Qt::QueuedConnection);
            emit changed();
            if (found.error) {
                emit signInFinished(found.error->message);
                return;
            }
            stopEngine();
            m_account = {server, user, found.value.url, found.value.displayName};
            m_account.save(*m_parts.settings());
            SyncLedger ledger(m_parts.container->mainContext());
            if (const Status bound = ledger.bind(m_account.collection.toString()); !bound) {
                emit signInFinished(QStringLiteral("The store could not be updated: ") +
                                    bound.message());
                return;
            }
            m_problem.clear();
            m_parts.credentials->write(m_account.keyringKey(), password,
                                       [this](const QString &problem) {
                                           m_problem = problem;
                                           emit changed();
                                       });
            startEngine(password);
            emit signInFinished(QString());
        });
}

void SyncService::signOut() {
    if (!isConfigured())
        return;
    stopEngine();
    m_parts.credentials->remove(m_account.keyringKey(), [] {});
    SyncLedger(m_parts.container->mainContext()).unbind();
    SyncAccount::clear(*m_parts.settings());
    m_account = {};
    m_problem.clear();
    emit changed();
}

} // namespace qb::sync
