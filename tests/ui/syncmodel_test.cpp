#include "appfixture.h"
#include "fakecaldav.h"
#include "sync/syncservice.h"
#include "viewmodels/syncmodel.h"

#include <QSettings>
#include <QTest>

using namespace qb;
using namespace qb::test;
using qb::sync::test::FakeCalDav;

namespace {

// A keyring in memory; without one, every read and write says so.
class MemoryCredentials final : public sync::CredentialStore {
public:
    void read(const QString &key, std::function<void(const Answer &)> done) override {
        if (available && kept.contains(key))
            done({kept.value(key), {}, true});
        else
            done(
                {std::nullopt, available ? QStringLiteral("Nothing kept.") : noKeyring, available});
    }
    void write(const QString &key, const QString &password,
               std::function<void(const QString &)> done) override {
        if (available)
            kept.insert(key, password);
        done(available ? QString() : noKeyring);
    }
    void remove(const QString &key, std::function<void()> done) override {
        kept.remove(key);
        done();
    }

    const QString noKeyring = QStringLiteral("No keyring is available.");
    QHash<QString, QString> kept;
    bool available = true;
};

} // namespace

class SyncView : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        service = std::make_unique<sync::SyncService>(serviceParts());
        model.setService(service.get());
        model.setEnvironment(&environmentObject);
    }

    std::unique_ptr<QSettings> settings() {
        return std::make_unique<QSettings>(folder.filePath(QStringLiteral("sync.ini")),
                                           QSettings::IniFormat);
    }
    sync::SyncService::Parts serviceParts() {
        return {.container = container.get(),
                .credentials = &credentials,
                .settings = [this] { return settings(); },
                .transports = [this] { return server.connection(); },
                .calendar = calendar,
                .timers = [this] { return time.makeTimer(); }};
    }
    // Waits for the model to report what `done` checks.
    bool until(const std::function<bool()> &done) { return QTest::qWaitFor(done, 5000); }

    FakeCalDav server;
    MemoryCredentials credentials;
    std::unique_ptr<sync::SyncService> service; // over the store SetUp opens
    SyncModel model;
};

TEST_F(SyncView, signingInSaysWhyNotOrShowsTheAccountAndSigningOutForgetsIt) {
    addTodo(QStringLiteral("Before signing in"));
    ASSERT_TRUE(context().save().ok());

    // A refused password says why and keeps nothing; a new try asked for from that answer's
    // handler is taken.
    QStringList answers;
    const auto retry =
        QObject::connect(&model, &SyncModel::signInFinished, &model, [&](const QString &problem) {
            answers.append(problem);
            if (answers.size() > 1)
                return;
            EXPECT_FALSE(model.isConfigured());
            EXPECT_TRUE(credentials.kept.isEmpty());
            model.signIn(server.collectionUrl().toString(), QStringLiteral("alice"),
                         QStringLiteral("secret"), {});
        });
    model.signIn(server.collectionUrl().toString(), QStringLiteral("alice"),
                 QStringLiteral("wrong"), {});
    ASSERT_TRUE(until([&] { return answers.size() == 2 && model.isSignedIn(); }));
    QObject::disconnect(retry);
    EXPECT_EQ(answers,
              (QStringList{QStringLiteral("The server did not accept the user name or password."),
                           QString()}));
    EXPECT_EQ(model.statusText(), QStringLiteral("Signed in"));
    EXPECT_EQ(model.accountText(), QStringLiteral("alice at dav.example, list \u201cTasks\u201d"));
    EXPECT_TRUE(model.lastSyncText().startsWith(QStringLiteral("Last synced ")));
    EXPECT_TRUE(model.problemText().isEmpty());
    EXPECT_EQ(server.objects.size(), 1);
    EXPECT_EQ(credentials.kept.value(service->account().keyringKey()), QStringLiteral("secret"));
    EXPECT_EQ(settings()->value(QStringLiteral("sync/user")).toString(), QStringLiteral("alice"));

    model.signOut();
    EXPECT_FALSE(model.isConfigured());
    EXPECT_EQ(model.statusText(), QStringLiteral("Not signed in"));
    EXPECT_TRUE(credentials.kept.isEmpty());
    EXPECT_FALSE(settings()->contains(QStringLiteral("sync/user")));
}

TEST_F(SyncView, withoutAKeyringThePasswordIsAskedForEachRun) {
    credentials.available = false;
    QSignalSpy finished(&model, &SyncModel::signInFinished);
    model.signIn(server.collectionUrl().toString(), QStringLiteral("alice"),
                 QStringLiteral("secret"), {});
    ASSERT_TRUE(until([&] { return finished.count() == 1 && model.isSignedIn(); }));
    EXPECT_EQ(finished.first().first().toString(), QString());

    // The next run knows the account but not the password.
    sync::SyncService nextRun(serviceParts());
    SyncModel next;
    next.setService(&nextRun);
    next.setEnvironment(&environmentObject);
    nextRun.start();
    EXPECT_TRUE(next.needsPassword());
    EXPECT_EQ(next.passwordNote(), QStringLiteral("No keyring is available."));
    EXPECT_TRUE(next.problemText().isEmpty());
    EXPECT_EQ(next.activityText(), QStringLiteral("Sync needs the password"));
    const int puts = server.count("PUT");
    addTodo(QStringLiteral("Made while the password was missing"));
    ASSERT_TRUE(context().save().ok());
    next.usePassword(QStringLiteral("secret"));
    EXPECT_FALSE(next.needsPassword());
    ASSERT_TRUE(until([&] { return server.count("PUT") == puts + 1 && !next.isSyncing(); }));
    EXPECT_TRUE(next.isSignedIn());
}
