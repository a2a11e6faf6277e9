#include "sync/credentialstore.h"

#include <qt6keychain/keychain.h>

namespace qb::sync {

namespace {

const QString service = QStringLiteral("Quill Brook");

bool noKeyring(QKeychain::Error error) {
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
           error == QKeychain::OtherError || error == QKeychain::AccessDenied;
}

const QString noKeyringText = QStringLiteral(
    "No keyring is available; the password is not kept and is asked for again next time.");

template <typename Job> Job *prepared(const QString &key) {
    auto *job = new Job(service);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

} // namespace

KeyringCredentials::KeyringCredentials(QObject *parent)
    : QObject(parent) {}

void KeyringCredentials::read(const QString &key, std::function<void(const Answer &)> done) {
    auto *job = prepared<QKeychain::ReadPasswordJob>(key);
    connect(job, &QKeychain::Job::finished, this, [job, done] {
        Answer answer;
        if (job->error() == QKeychain::NoError) {
            answer.password = job->textData();
        } else if (job->error() == QKeychain::EntryNotFound) {
            answer.problem = QStringLiteral("The keyring holds no password for this account.");
        } else {
            answer.keyringAvailable = !noKeyring(job->error());
            answer.problem = answer.keyringAvailable ? job->errorString() : noKeyringText;
        }
        done(answer);
    });
    job->start();
}

void KeyringCredentials::write(const QString &key, const QString &password,
                               std::function<void(const QString &)> done) {
    auto *job = prepared<QKeychain::WritePasswordJob>(key);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [job, done] {
        if (job->error() == QKeychain::NoError)
            done(QString());
        else
            done(noKeyring(job->error()) ? noKeyringText : job->errorString());
    });
    job->start();
}

void KeyringCredentials::remove(const QString &key, std::function<void()> done) {
    auto *job = prepared<QKeychain::DeletePasswordJob>(key);
    connect(job, &QKeychain::Job::finished, this, [done] { done(); });
    job->start();
}

} // namespace qb::sync
