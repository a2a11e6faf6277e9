#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace qb::sync {

// Where passwords are kept between runs.
class CredentialStore {
public:
    struct Answer {
        std::optional<QString> password;
        // Why there is no password, in words: no keyring, or nothing kept in it.
        QString problem;
        bool keyringAvailable = true;
    };
    virtual ~CredentialStore() = default;
    virtual void read(const QString &key, std::function<void(const Answer &)> done) = 0;
    // `done` gets an empty text when the password was kept, else why not.
    virtual void write(const QString &key, const QString &password,
                       std::function<void(const QString &)> done) = 0;
    virtual void remove(const QString &key, std::function<void()> done) = 0;
};

// The desktop keyring (Secret Service, KWallet) through QtKeychain. Without one, reads and
// writes fail with a sentence that says so; nothing falls back to a file.
class KeyringCredentials final : public QObject, public CredentialStore {
public:
    explicit KeyringCredentials(QObject *parent = nullptr);
    void read(const QString &key, std::function<void(const Answer &)> done) override;
    void write(const QString &key, const QString &password,
               std::function<void(const QString &)> done) override;
    void remove(const QString &key, std::function<void()> done) override;
};

} // namespace qb::sync
