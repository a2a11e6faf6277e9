#include "platform/instanceprotocol.h"
#include "platform/singleinstance.h"
#include "tempstore.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace std::chrono_literals;
using Role = SingleInstance::Role;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QString socket() const { return m_folder.filePath(u"app.socket"_s); }

    // Short waits: every peer here is in this process and answers at once or never.
    static SingleInstance::Timeouts quick() {
        return {.lock = 200ms, .connect = 200ms, .answer = 300ms, .request = 200ms};
    }

    test::TempFolder m_folder;
};

} // namespace

TEST_F(SingleInstanceTest, theFirstClaimListensOnASocketOnlyItsUserCanOpenUntilItQuits) {
    {
        SingleInstance first(socket(), quick());
        EXPECT_EQ(first.claim({}), Role::Primary);
        EXPECT_TRUE(first.isListening());
        const QFileInfo file(socket());
        ASSERT_TRUE(file.exists());
        EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
                  QFile::Permissions());
        EXPECT_FALSE(QFileInfo::exists(socket() + u".lock"_s));
    }
    EXPECT_FALSE(QFileInfo::exists(socket()));
    SingleInstance next(socket(), quick());
    EXPECT_EQ(next.claim({}), Role::Primary);
}

// A crashed instance leaves a socket file nobody listens on: the next start takes over, and later
// starts hand it their URLs in order.
TEST_F(SingleInstanceTest, aStaleSocketIsReplacedAndLaterClaimsHandOverTheirUrls) {
    const QString aside = socket() + u".aside"_s;
    QLocalServer crashed;
    ASSERT_TRUE(crashed.listen(socket()));
    ASSERT_TRUE(QFile::rename(socket(), aside)); // out of reach of close()'s clean-up
    crashed.close();
    ASSERT_TRUE(QFile::rename(aside, socket()));
    SingleInstance first(socket(), quick());
    ASSERT_EQ(first.claim({}), Role::Primary);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    const QStringList urls{u"quillbrook://new"_s, u"quillbrook://today"_s};
    SingleInstance second(socket(), quick());
    EXPECT_EQ(second.claim(urls), Role::Forwarded);
    EXPECT_FALSE(second.isListening());
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.first().first().toStringList(), urls);

    // A start without URLs still asks the running instance to come forward.
    SingleInstance third(socket(), quick());
    EXPECT_EQ(third.claim({}), Role::Forwarded);
    ASSERT_EQ(asked.count(), 2);
    EXPECT_TRUE(asked.last().first().toStringList().isEmpty());
}

TEST_F(SingleInstanceTest, aListenerThatNeverAnswersOrHangsUpLeavesItUnanswered) {
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(socket()));
    QByteArray received;
    QObject::connect(&silent, &QLocalServer::newConnection, [&] {
        QLocalSocket *client = silent.nextPendingConnection();
        QObject::connect(client, &QLocalSocket::readyRead,
                         [&, client] { received += client->readAll(); });
    });

    SingleInstance second(socket(), quick());
    EXPECT_EQ(second.claim({u"quillbrook://new"_s}), Role::Unanswered);
    EXPECT_FALSE(second.errorString().isEmpty());
    EXPECT_FALSE(second.isListening());
    EXPECT_EQ(received, instanceprotocol::encode({u"quillbrook://new"_s}));

    // Nor does one that hangs up.
    silent.disconnect();
    QObject::connect(&silent, &QLocalServer::newConnection,
                     [&] { silent.nextPendingConnection()->disconnectFromServer(); });
    SingleInstance third(socket(), quick());
    EXPECT_EQ(third.claim({}), Role::Unanswered);
}

TEST_F(SingleInstanceTest, strayAndSlowClientsAreDroppedWithoutActivation) {
    SingleInstance first(socket(), quick());
    ASSERT_EQ(first.claim({}), Role::Primary);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    // One speaks another protocol, the other stops short of the end of its request.
    for (const QByteArray &bytes : {QByteArray("GET / HTTP/1.0\r\n\r\n"),
                                    instanceprotocol::encode({u"quillbrook://new"_s}).chopped(3)}) {
        QLocalSocket client;
        client.connectToServer(socket());
        ASSERT_TRUE(client.waitForConnected(1000));
        client.write(bytes);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return client.state() == QLocalSocket::UnconnectedState; }, 2000));
    }
    EXPECT_EQ(asked.count(), 0);

    // The instance still serves a proper client afterwards.
    SingleInstance later(socket(), quick());
    EXPECT_EQ(later.claim({}), Role::Forwarded);
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(SingleInstanceTest, aClaimIsUnavailableWhileTheLockIsHeldOrWithoutItsFolder) {
    QLockFile held(socket() + u".lock"_s);
    ASSERT_TRUE(held.lock());
    SingleInstance blocked(socket(), quick());
    EXPECT_EQ(blocked.claim({}), Role::Unavailable);
    EXPECT_FALSE(blocked.isListening());
    EXPECT_TRUE(blocked.errorString().contains(u"lock"_s));
    held.unlock();
    EXPECT_EQ(blocked.claim({}), Role::Primary);

    SingleInstance nowhere(m_folder.filePath(u"missing/app.socket"_s), quick());
    EXPECT_EQ(nowhere.claim({}), Role::Unavailable);
    EXPECT_FALSE(nowhere.errorString().isEmpty());
}

TEST(SingleInstanceSocketPath, isPerUserAndPerStoreInTheRuntimeFolder) {
    test::TempFolder runtime;
    test::TempFolder stores;
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QDir(stores.path()).mkpath(u"one/Quillbrook"_s);
    QDir(stores.path()).mkpath(u"two/Quillbrook"_s);
    const QString one = stores.filePath(u"one/Quillbrook"_s);

    const QString path = SingleInstance::socketPath(one);
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(runtime.path()).absoluteFilePath());
    EXPECT_TRUE(
        QFileInfo(path).fileName().startsWith(u"quillbrook-%1-"_s.arg(QString::number(geteuid()))));
    EXPECT_EQ(SingleInstance::socketPath(one + u"/"_s), path);
    EXPECT_EQ(SingleInstance::socketPath(one + u"/../Quillbrook"_s), path);
    EXPECT_NE(SingleInstance::socketPath(stores.filePath(u"two/Quillbrook"_s)), path);
    qputenv("XDG_RUNTIME_DIR", previous);
}
