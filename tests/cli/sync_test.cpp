#include "clifixture.h"
#include "radicaleserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;
using qb::tools::RadicaleServer;

class CliSync : public CliFixture {
protected:
    static inline const QByteArray password = QByteArrayLiteral("secret\n");

    void SetUp() override { ASSERT_TRUE(server.isRunning()) << server.failure().toStdString(); }

    CliRun login(const CliClient &client, const QByteArray &secret = password,
                 const QUrl &address = {}, const QStringList &options = {}) {
        return client.run(QStringList{u"sync"_s, u"login"_s,
                                      (address.isEmpty() ? server.root() : address).toString(),
                                      u"alice"_s} +
                              options,
                          secret);
    }
    CliRun syncNow(const CliClient &client) { return client.run({u"sync"_s, u"now"_s}, password); }
    QJsonObject status(const CliClient &client) {
        return client.json({u"sync"_s, u"status"_s}).toObject();
    }
    // Starts "sync now" for `client` and kills it once `farEnough` holds.
    void killSyncOnce(const CliClient &client, const std::function<bool()> &farEnough) {
        QProcess process;
        client.start(process, {u"sync"_s, u"now"_s});
        process.write(password);
        process.waitForBytesWritten();
        process.closeWriteChannel();
        const QDeadlineTimer deadline(30000);
        while (!farEnough() && !deadline.hasExpired() && process.state() == QProcess::Running)
            QThread::msleep(5);
        process.kill();
        process.waitForFinished();
    }

    RadicaleServer server{u"secret"_s};
};

TEST_F(CliSync, signsInSyncsReportsAndSignsOut) {
    EXPECT_EQ(run({u"sync"_s, u"status"_s}).text(), u"Not signed in.\n"_s);
    EXPECT_TRUE(failed(login(*this, "wrong\n"), 4, "did not accept the user name or password"));

    add(u"Written before signing in"_s, {u"--later"_s});
    const CliRun signedIn = login(*this, password, {}, {u"--list"_s, u"Errands"_s});
    ASSERT_EQ(signedIn.status, 0) << signedIn.err.toStdString();
    // No keyring in tests: the client says where the password will come from.
    EXPECT_TRUE(signedIn.out.contains("No keyring is available"));
    QJsonObject before = status(*this);
    EXPECT_FALSE(before.value(u"signedIn"_s).toBool());
    EXPECT_EQ(before.value(u"pending"_s).toInt(), 1);
    EXPECT_EQ(before.value(u"list"_s).toString(), u"Errands"_s);

    ASSERT_EQ(syncNow(*this).status, 0);
    const QJsonObject after = json({u"sync"_s, u"status"_s, u"--json"_s}).toObject();
    EXPECT_TRUE(after.value(u"signedIn"_s).toBool());
    EXPECT_EQ(after.value(u"pending"_s).toInt(), 0);
    EXPECT_TRUE(after.value(u"lastError"_s).isNull());
    EXPECT_TRUE(failed(run({u"sync"_s, u"now"_s}), 1, "No password on standard input"));

    // A password typed into the address is not written to the preferences file. Typed as the
    // list's own address, the list keeps its name, whatever --list would have named.
    CliClient other;
    QUrl typed(before.value(u"collection"_s).toString());
    typed.setUserInfo(u"alice:secret"_s);
    ASSERT_EQ(login(other, password, typed).status, 0);
    EXPECT_EQ(status(other).value(u"list"_s).toString(), u"Errands"_s);
    EXPECT_FALSE(
        dataFile(other.home.filePath(u"config/Quillbrook/Quillbrook.conf"_s)).contains("secret"));
    ASSERT_EQ(syncNow(other).status, 0);
    EXPECT_EQ(other.listed(u"later"_s), QStringList{u"Written before signing in"_s});

    ASSERT_EQ(run({u"sync"_s, u"logout"_s}).status, 0);
    EXPECT_FALSE(status(*this).value(u"configured"_s).toBool());
    EXPECT_EQ(listed(u"later"_s).size(), 1);
}

// A client killed while it sends, then while it receives: afterwards nothing is lost, nothing
// is doubled and the queue picks up where it stopped.
TEST_F(CliSync, aClientKilledMidSyncLeavesNoDuplicatesAndResumes) {
    constexpr int count = 300;
    ASSERT_EQ(run({u"import"_s, writeTodos(u"bulk.json"_s, count, "Bulk")}).status, 0);
    ASSERT_EQ(login(*this).status, 0);

    killSyncOnce(*this, [&] { return server.objectCount() >= count / 5; });
    const int sent = server.objectCount();
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, count);
    EXPECT_GT(status(*this).value(u"pending"_s).toInt(), 0);

    const CliRun resumed = syncNow(*this);
    ASSERT_EQ(resumed.status, 0) << resumed.err.toStdString();
    EXPECT_EQ(server.objectCount(), count);
    EXPECT_EQ(status(*this).value(u"pending"_s).toInt(), 0);

    CliClient other;
    ASSERT_EQ(login(other).status, 0);
    // Killed once the first batch is in.
    killSyncOnce(other, [&] { return other.listed(u"later"_s).size() >= 50; });
    ASSERT_EQ(syncNow(other).status, 0);
    const QJsonArray received = other.json({u"list"_s, u"later"_s}).toArray();
    EXPECT_EQ(received.size(), count);
    QSet<QString> receivedIds;
    for (const auto &todo : received)
        receivedIds.insert(todo[u"id"].toString());
    EXPECT_EQ(receivedIds.size(), count);
    EXPECT_EQ(server.objectCount(), count);
}

// The client alone, as its own package installs it: sync says what is missing, and no other
// command needs the sync program.
using CliAlone = CliFixture;

TEST_F(CliAlone, withoutTheSyncProgramSyncNamesThePackageAndTheRestWorks) {
    const QString alone = home.filePath(u"bin/quillbrook-cli"_s);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(alone).path()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QB_CLI_PATH), alone));
    EXPECT_TRUE(failed(shell(u"exec \"$1\" sync status"_s, {alone}), 4, "quillbrook package"));
    EXPECT_EQ(shell(u"exec \"$1\" add 'Still here'"_s, {alone}).status, 0);
}
