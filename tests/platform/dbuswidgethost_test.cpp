#include "platform/dbuswidgethost.h"
#include "privatebus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace qb;
using qb::test::PrivateBus;

namespace {

// Collects the Reloaded signals a widget on the bus would see.
class Listener : public QObject {
    Q_OBJECT

public:
    QStringList paths;

public slots:
    void onReloaded(const QString &path) { paths.append(path); }
};

const QString snapshot = QStringLiteral("/home/someone/.local/share/Quillbrook/today.json");

class OnPrivateBus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
        widget = bus.connect(QStringLiteral("widget"));
        ASSERT_TRUE(widget.connect(QString(), QLatin1String(DBusWidgetHost::objectPath),
                                   QLatin1String(DBusWidgetHost::interfaceName),
                                   QStringLiteral("Reloaded"), &listener,
                                   SLOT(onReloaded(QString))));
    }

    bool waitForSignals(qsizetype count) {
        return QTest::qWaitFor([&] { return listener.paths.size() >= count; }, 3000);
    }

    PrivateBus bus;
    QDBusConnection widget{QStringLiteral("unset")};
    Listener listener;
};

} // namespace

TEST_F(OnPrivateBus, eachReloadIsSignalledWithTheSnapshotPath) {
    DBusWidgetHost host(snapshot, bus.connect(QStringLiteral("app")));
    ASSERT_TRUE(host.isPublished());
    host.reloadAllTimelines();
    host.reloadAllTimelines();
    ASSERT_TRUE(waitForSignals(2));
    EXPECT_EQ(listener.paths, QStringList({snapshot, snapshot}));
}

TEST_F(OnPrivateBus, theServiceNameAndThePathPropertyCanBeLookedUp) {
    auto host = std::make_unique<DBusWidgetHost>(snapshot, bus.connect(QStringLiteral("app")));
    EXPECT_TRUE(host->ownsServiceName());
    const QLatin1String service(DBusWidgetHost::serviceName);
    EXPECT_TRUE(widget.interface()->isServiceRegistered(service).value());
    // Asked without blocking: the object answers from this very thread.
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, QLatin1String(DBusWidgetHost::objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QLatin1String(DBusWidgetHost::interfaceName) << QStringLiteral("SnapshotPath");
    QDBusPendingCall reply = widget.asyncCall(get);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply.isFinished(); }, 3000));
    ASSERT_FALSE(reply.isError()) << qPrintable(reply.error().message());
    EXPECT_EQ(reply.reply().arguments().value(0).value<QDBusVariant>().variant().toString(),
              snapshot);

    // A second store's instance on the same bus goes without the name but still signals.
    DBusWidgetHost second(QStringLiteral("/elsewhere/today.json"),
                          bus.connect(QStringLiteral("second-app")));
    EXPECT_TRUE(second.isPublished());
    EXPECT_FALSE(second.ownsServiceName());
    second.reloadAllTimelines();
    ASSERT_TRUE(waitForSignals(1));
    EXPECT_EQ(listener.paths, QStringList{QStringLiteral("/elsewhere/today.json")});

    host.reset();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !widget.interface()->isServiceRegistered(service).value(); }, 3000));
}

TEST(DBusWidgetHostWithoutBus, publishesNothingAndReloadsQuietly) {
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/quillbrook-bus"), QStringLiteral("no-bus"));
    ASSERT_FALSE(none.isConnected());
    {
        DBusWidgetHost host(snapshot, none);
        QSignalSpy reloaded(&host, &DBusWidgetHost::Reloaded);
        EXPECT_FALSE(host.isPublished());
        EXPECT_FALSE(host.ownsServiceName());
        host.reloadAllTimelines();
        EXPECT_EQ(reloaded.count(), 0);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

#include "dbuswidgethost_test.moc"
