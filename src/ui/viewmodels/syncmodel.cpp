#include "syncmodel.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "sync/syncservice.h"

#include <QUrl>

namespace qb {

SyncModel::SyncModel(QObject *parent)
    : QObject(parent) {}

void SyncModel::setService(sync::SyncService *service) {
    if (!replaceFollowed(m_service, service, this))
        return;
    if (m_service) {
        connect(m_service, &sync::SyncService::changed, this, &SyncModel::changed);
        connect(m_service, &sync::SyncService::signInFinished, this, &SyncModel::signInFinished);
    }
    emit dependenciesChanged();
    emit changed();
}

void SyncModel::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    if (m_environment)
        connect(m_environment, &Environment::refreshed, this, &SyncModel::changed);
    emit dependenciesChanged();
    emit changed();
}

bool SyncModel::isAvailable() const {
    return service() && service()->isEnabled();
}

bool SyncModel::isConfigured() const {
    return isAvailable() && service()->isConfigured();
}

bool SyncModel::isSignedIn() const {
    return isAvailable() && service()->isSignedIn();
}

bool SyncModel::isSyncing() const {
    return isAvailable() && service()->isSyncing();
}

bool SyncModel::isSigningIn() const {
    return isAvailable() && service()->isSigningIn();
}

bool SyncModel::needsPassword() const {
    return isAvailable() && service()->needsPassword();
}

QString SyncModel::statusText() const {
    return isSignedIn() ? QStringLiteral("Signed in") : QStringLiteral("Not signed in");
}

QString SyncModel::accountText() const {
    if (!isConfigured())
        return {};
    const sync::SyncAccount &account = service()->account();
    return QStringLiteral("%1 at %2, list \u201c%3\u201d")
        .arg(account.user, account.collection.host(), account.listName);
}

QString SyncModel::lastSyncText() const {
    if (!isConfigured())
        return {};
    const QDateTime last = service()->status().lastSync;
    if (!last.isValid())
        return QStringLiteral("Not synced yet");
    if (!m_environment)
        return {};
    return QStringLiteral("Last synced ") + m_environment->formatter().relativeTime(last);
}

QString SyncModel::problemText() const {
    if (!isAvailable())
        return m_service
                   ? QStringLiteral("Sync is off for this run (started with -cloudKitDisabled).")
                   : QString();
    if (!isConfigured())
        return {};
    return service()->status().lastError;
}

QString SyncModel::passwordNote() const {
    return isConfigured() ? service()->problem() : QString();
}

QString SyncModel::activityText() const {
    if (isSyncing())
        return QStringLiteral("Syncing\u2026");
    if (isConfigured() && !service()->status().lastError.isEmpty())
        return QStringLiteral("Sync failed");
    if (needsPassword())
        return QStringLiteral("Sync needs the password");
    return {};
}

QString SyncModel::defaultListName() {
    return QLatin1String(sync::defaultListName);
}

QString SyncModel::note() {
    return QStringLiteral("Your to-dos sync across your devices when you're signed in to a CalDAV "
                          "account (Nextcloud, Radicale, Ba\u00efkal and others).");
}

void SyncModel::signIn(const QString &server, const QString &user, const QString &password,
                       const QString &listName) {
    if (!isAvailable())
        return;
    const QString list = listName.trimmed().isEmpty() ? defaultListName() : listName.trimmed();
    service()->signIn(QUrl::fromUserInput(server.trimmed()), user.trimmed(), password, list);
}

void SyncModel::usePassword(const QString &password) {
    if (isAvailable())
        service()->usePassword(password);
}

void SyncModel::syncNow() {
    if (isAvailable())
        service()->syncNow();
}

void SyncModel::signOut() {
    if (isAvailable())
        service()->signOut();
}

} // namespace qb
