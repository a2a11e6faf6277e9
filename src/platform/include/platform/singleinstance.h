#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <chrono>

namespace qb {

// One running app per user and store. The first start listens on a local socket named after
// the store folder; a later start hands its URLs to it (instanceprotocol.h) and exits. Only
// the same user can reach the socket: it lives in the user's runtime folder with mode 0600,
// and each side checks the other's user id.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        Primary,     // listening: this process is the running instance
        Forwarded,   // the running instance took the URLs and answered
        Unanswered,  // another instance is listening but did not take them in time
        Unavailable, // no socket could be used: run without single-instance handling
    };

    struct Timeouts {
        std::chrono::milliseconds lock = std::chrono::seconds(5);
        std::chrono::milliseconds connect = std::chrono::seconds(2);
        // A running instance may still be opening a large store when it is asked.
        std::chrono::milliseconds answer = std::chrono::seconds(30);
        // How long a client may take to send its whole request.
        std::chrono::milliseconds request = std::chrono::seconds(5);
    };

    explicit SingleInstance(QString socketPath, QObject *parent = nullptr);
    SingleInstance(QString socketPath, Timeouts timeouts, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket for the store in `storeFolder`: in the runtime folder ($XDG_RUNTIME_DIR),
    // named after the user id and a hash of the folder's canonical path, so two stores are
    // two instances.
    static QString socketPath(const QString &storeFolder);

    QString path() const { return m_path; }
    // Becomes the running instance, or forwards `urls` to it. Waits (in a local event loop)
    // for the running instance's answer. Call once, before the first window.
    Role claim(const QStringList &urls);
    // Why the last claim was not Primary or Forwarded.
    QString errorString() const { return m_error; }
    bool isListening() const { return m_server.isListening(); }

signals:
    // Another start asked this instance to open `urls` (none: just to show itself).
    void activationRequested(const QStringList &urls);

private:
    Role forward(const QStringList &urls);
    bool listen();
    void acceptConnections();

    QString m_path;
    Timeouts m_timeouts;
    QLocalServer m_server;
    QString m_error;
};

} // namespace qb
