#include "clifixture.h"
#include "radicaleserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <QUuid>

using namespace qb::test;
using qb::tools::RadicaleServer;

namespace {

const QByteArray password = QByteArrayLiteral("secret\n");

QByteArray bulkImport(int count) {
    QJsonArray todos;
    for (int i = 0; i < count; ++i) {
        todos.append(QJsonObject{
            {QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()},
            {QStringLiteral("title"), QStringLiteral("Bulk %1").arg(i)},
            {QStringLiteral("notes"), QString()},
            {QStringLiteral("isCompleted"), false},
            {QStringLiteral("completedAt"), QJsonValue::Null},
            {QStringLiteral("scheduledDate"), QJsonValue::Null},
            {QStringLiteral("listRaw"), QStringLiteral("later")},
            {QStringLiteral("sortOrder"), i},
            {QStringLiteral("createdAt"), QStringLiteral("2024-03-01T12:00:00.000+00:00")},
            {QStringLiteral("recurrenceRuleRaw"), QJsonValue::Null},
            {QStringLiteral("subtasks"), QJsonArray()},
            {QStringLiteral("changes"), QJsonArray()},
        });
    }
    return QJsonDocument(
               QJsonObject{{QStringLiteral("formatVersion"), 1}, {QStringLiteral("todos"), todos}})
        .toJson();
}

} // namespace

class CliSync : public CliFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()) << server.failure().toStdString(); }

    CliRun login(const CliClient &client, const QByteArray &secret = password,
                 const QUrl &address = {}) {
        return client.run({QStringLiteral("sync"), QStringLiteral("login"),
                           (address.isEmpty() ? server.root() : address).toString(),
                           QStringLiteral("alice")},
                          secret);
    }
    CliRun syncNow(const CliClient &client) {
        return client.run({QStringLiteral("sync"), QStringLiteral("now")}, password);
    }
    QJsonObject status(const CliClient &client) {
        return client.json({QStringLiteral("sync"), QStringLiteral("status")}).toObject();
    }
    int later(const CliClient &client) {
        return int(client.json({QStringLiteral("list"), QStringLiteral("later")}).toArray().size());
    }

    RadicaleServer server{QStringLiteral("secret")};
};

TEST_F(CliSync, signsInSyncsReportsAndSignsOut) {
    EXPECT_EQ(run({QStringLiteral("sync"), QStringLiteral("status")}).text(),
              QStringLiteral("Not signed in.\n"));
    const CliRun refused = login(*this, "wrong\n");
    EXPECT_EQ(refused.status, 4);
    EXPECT_TRUE(refused.err.contains("did not accept the user name or password"));

    add(QStringLiteral("Written before signing in"), {QStringLiteral("--later")});
    const CliRun signedIn = login(*this);
    ASSERT_EQ(signedIn.status, 0) << signedIn.err.toStdString();
    // No keyring in tests: the client says where the password will come from.
    EXPECT_TRUE(signedIn.out.contains("No keyring is available"));
    QJsonObject before = status(*this);
    EXPECT_FALSE(before.value(QStringLiteral("signedIn")).toBool());
    EXPECT_EQ(before.value(QStringLiteral("pending")).toInt(), 1);
    EXPECT_EQ(before.value(QStringLiteral("list")).toString(), QStringLiteral("Quill Brook"));

    ASSERT_EQ(syncNow(*this).status, 0);
    const QJsonObject after =
        json({QStringLiteral("sync"), QStringLiteral("status"), QStringLiteral("--json")})
            .toObject();
    EXPECT_TRUE(after.value(QStringLiteral("signedIn")).toBool());
    EXPECT_EQ(after.value(QStringLiteral("pending")).toInt(), 0);
    EXPECT_TRUE(after.value(QStringLiteral("lastError")).isNull());
    const CliRun noPassword = run({QStringLiteral("sync"), QStringLiteral("now")});
    EXPECT_EQ(noPassword.status, 1);
    EXPECT_TRUE(noPassword.err.contains("No password on standard input"));

    // A password typed into the address is not written to the preferences file.
    CliClient other;
    QUrl typed = server.root();
    typed.setUserInfo(QStringLiteral("alice:secret"));
    ASSERT_EQ(login(other, password, typed).status, 0);
    QFile preferences(other.home.filePath(QStringLiteral("config/Quillbrook/Quillbrook.conf")));
    ASSERT_TRUE(preferences.open(QIODevice::ReadOnly));
    EXPECT_FALSE(preferences.readAll().contains("secret"));
    ASSERT_EQ(syncNow(other).status, 0);
    EXPECT_EQ(titles(other.json({QStringLiteral("list"), QStringLiteral("later")}).toArray()),
              QStringList{QStringLiteral("Written before signing in")});

    ASSERT_EQ(run({QStringLiteral("sync"), QStringLiteral("logout")}).status, 0);
    EXPECT_FALSE(status(*this).value(QStringLiteral("configured")).toBool());
    EXPECT_EQ(later(*this), 1);
}

// A client killed while it sends, then while it receives: afterwards nothing is lost, nothing
// is doubled and the queue picks up where it stopped.
TEST_F(CliSync, aClientKilledMidSyncLeavesNoDuplicatesAndResumes) {
    constexpr int count = 300;
    ASSERT_EQ(
        run({QStringLiteral("import"), writeFile(QStringLiteral("bulk.json"), bulkImport(count))})
            .status,
        0);
    ASSERT_EQ(login(*this).status, 0);

    QProcess sending;
    sending.setProcessEnvironment(environment());
    sending.start(QStringLiteral(QB_CLI_PATH), {QStringLiteral("sync"), QStringLiteral("now")});
    sending.write(password);
    sending.waitForBytesWritten();
    sending.closeWriteChannel();
    QDeadlineTimer deadline(30000);
    while (server.objectCount() < count / 5 && !deadline.hasExpired())
        QThread::msleep(5);
    sending.kill();
    sending.waitForFinished();
    const int sent = server.objectCount();
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, count);
    EXPECT_GT(status(*this).value(QStringLiteral("pending")).toInt(), 0);

    const CliRun resumed = syncNow(*this);
    ASSERT_EQ(resumed.status, 0) << resumed.err.toStdString();
    EXPECT_EQ(server.objectCount(), count);
    EXPECT_EQ(status(*this).value(QStringLiteral("pending")).toInt(), 0);

    CliClient other;
    ASSERT_EQ(login(other).status, 0);
    QProcess receiving;
    receiving.setProcessEnvironment(other.environment());
    receiving.start(QStringLiteral(QB_CLI_PATH), {QStringLiteral("sync"), QStringLiteral("now")});
    receiving.write(password);
    receiving.waitForBytesWritten();
    receiving.closeWriteChannel();
    // Killed once the first batch is in.
    deadline = QDeadlineTimer(30000);
    while (later(other) < 50 && !deadline.hasExpired() && receiving.state() == QProcess::Running)
        QThread::msleep(20);
    receiving.kill();
    receiving.waitForFinished();
    ASSERT_EQ(syncNow(other).status, 0);
    const QJsonArray received =
        other.json({QStringLiteral("list"), QStringLiteral("later")}).toArray();
    EXPECT_EQ(received.size(), count);
    const QStringList receivedIds = ids(received);
    EXPECT_EQ(QSet<QString>(receivedIds.begin(), receivedIds.end()).size(), count);
    EXPECT_EQ(server.objectCount(), count);
}

// The client alone, as its own package installs it: sync says what is missing, and no other
// command needs the sync program.
using CliAlone = CliFixture;

TEST_F(CliAlone, withoutTheSyncProgramSyncNamesThePackageAndTheRestWorks) {
    const QString alone = home.filePath(QStringLiteral("bin/quillbrook-cli"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(alone).path()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QB_CLI_PATH), alone));
    const auto runAlone = [&](const QStringList &args) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(alone, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::pair{process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    };
    const auto [status, error] = runAlone({QStringLiteral("sync"), QStringLiteral("status")});
    EXPECT_EQ(status, 4);
    EXPECT_TRUE(error.contains(QStringLiteral("quillbrook package"))) << error.toStdString();
    EXPECT_EQ(runAlone({QStringLiteral("add"), QStringLiteral("Still here")}).first, 0);
}
