#pragma once

#include "sync/credentialstore.h"
#include "sync/syncaccount.h"
#include "sync/syncengine.h"

#include <QObject>
#include <QSettings>

#include <memory>

namespace qb::sync {

class CollectionFinder;

// The app's side of sync: the account, its password, and the engine while one runs. Signing in
// finds (or makes) the list, binds the store to it and keeps the password in the keyring;
// starting reads the password back and runs the engine; signing out stops it and forgets
// account, password and bookkeeping, leaving the to-dos as they are.
class SyncService : public QObject {
    Q_OBJECT

public:
    struct Parts {
        ModelContainer *container = nullptr;
        CredentialStore *credentials = nullptr;
        std::function<std::unique_ptr<QSettings>()> settings;
        std::function<std::unique_ptr<HttpTransport>()> transports;
        Calendar calendar = Calendar::current();
        Clock clock = Clock::system();
        SyncEngine::TimerFactory timers;
        // False when the store was opened without its mirror ("-cloudKitDisabled").
        bool enabled = true;
    };

    explicit SyncService(Parts parts, QObject *parent = nullptr);
    ~SyncService() override;

    bool isEnabled() const { return m_parts.enabled; }
    bool isConfigured() const { return m_account.isConfigured(); }
    // An account is configured and its last sync succeeded.
    bool isSignedIn() const;
    bool isSyncing() const;
    bool isSigningIn() const { return m_finder != nullptr; }
    // Configured, but no password is known for this run (no keyring, or none kept in it).
    bool needsPassword() const { return isConfigured() && !m_engine && !m_problem.isEmpty(); }
    const SyncAccount &account() const { return m_account; }
    SyncStatus status() const;
    // A note in words besides the last error: why the password is missing, or not kept.
    QString problem() const { return m_problem; }

    // With an account: reads the password and starts syncing.
    void start();
    void signIn(const QUrl &server, const QString &user, const QString &password,
                const QString &listName);
    // The password for this run, when the keyring could not give it.
    void usePassword(const QString &password);
    void signOut();
    void syncNow();

signals:
    void changed();
    // Empty on success, else why not, in words.
    void signInFinished(const QString &error);

private:
    void startEngine(const QString &password);
    void stopEngine();

    Parts m_parts;
    SyncAccount m_account;
    std::unique_ptr<HttpTransport> m_transport;
    std::unique_ptr<SyncEngine> m_engine;
    std::unique_ptr<CollectionFinder> m_finder;
    QString m_problem;
};

} // namespace qb::sync
