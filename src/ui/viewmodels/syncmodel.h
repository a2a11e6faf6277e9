#pragma once

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("app/environment.h")
Q_MOC_INCLUDE("sync/syncservice.h")

namespace qb {

class Environment;

namespace sync {
class SyncService;
}

// Sync as the settings window and the sidebar show it: the account, whether it is signed in,
// what is happening, the last sync and the last error in words; and the user's actions on it.
class SyncModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // Null when the app runs without sync at all.
    Q_PROPERTY(
        qb::sync::SyncService *service READ service WRITE setService NOTIFY dependenciesChanged)
    // For the last sync's relative time, read again when the app becomes active.
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    // False when the app was started without its mirror ("-cloudKitDisabled").
    Q_PROPERTY(bool available READ isAvailable NOTIFY changed)
    Q_PROPERTY(bool configured READ isConfigured NOTIFY changed)
    Q_PROPERTY(bool signedIn READ isSignedIn NOTIFY changed)
    Q_PROPERTY(bool syncing READ isSyncing NOTIFY changed)
    Q_PROPERTY(bool signingIn READ isSigningIn NOTIFY changed)
    Q_PROPERTY(bool needsPassword READ needsPassword NOTIFY changed)
    // "Signed in" or "Not signed in".
    Q_PROPERTY(QString statusText READ statusText NOTIFY changed)
    // "alice at dav.example.org, list "Quill Brook"", empty without an account.
    Q_PROPERTY(QString accountText READ accountText NOTIFY changed)
    // "Last synced 2 minutes ago", "Not synced yet".
    Q_PROPERTY(QString lastSyncText READ lastSyncText NOTIFY changed)
    // The last error in words; empty when the last sync succeeded.
    Q_PROPERTY(QString problemText READ problemText NOTIFY changed)
    // Why the password is asked for or not kept (no keyring); empty when the keyring has it.
    Q_PROPERTY(QString passwordNote READ passwordNote NOTIFY changed)
    // One short line for the sidebar: "Syncing…", "Sync failed", or empty.
    Q_PROPERTY(QString activityText READ activityText NOTIFY changed)
    Q_PROPERTY(QString defaultListName READ defaultListName CONSTANT)
    Q_PROPERTY(QString note READ note CONSTANT)

public:
    explicit SyncModel(QObject *parent = nullptr);

    sync::SyncService *service() const { return m_service; }
    void setService(sync::SyncService *service);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);

    bool isAvailable() const;
    bool isConfigured() const;
    bool isSignedIn() const;
    bool isSyncing() const;
    bool isSigningIn() const;
    bool needsPassword() const;
    QString statusText() const;
    QString accountText() const;
    QString lastSyncText() const;
    QString problemText() const;
    QString passwordNote() const;
    QString activityText() const;
    static QString defaultListName();
    // What signing in is for, under the section.
    static QString note();

    Q_INVOKABLE void signIn(const QString &server, const QString &user, const QString &password,
                            const QString &listName);
    Q_INVOKABLE void usePassword(const QString &password);
    Q_INVOKABLE void syncNow();
    Q_INVOKABLE void signOut();

signals:
    void dependenciesChanged();
    void changed();
    // Empty on success, else why not, in words.
    void signInFinished(const QString &error);

private:
    QPointer<sync::SyncService> m_service;
    QPointer<Environment> m_environment;
};

} // namespace qb
