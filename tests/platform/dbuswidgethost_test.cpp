#include "platform/dbuswidgethost.h"
#include "privatebus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

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

const QString snapshot = u"/home/someone/.local/share/Quillbrook/today.json"_s;

} // namespace

TEST(WidgetHostOnPrivateBus, eachReloadIsSignalledWithItsSnapshotPathAndTheNameCanBeLookedUp) {
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not available";
    Listener listener;
    QDBusConnection widget = bus.connect(u"widget"_s);
    ASSERT_TRUE(widget.connect(QString(), QLatin1String(DBusWidgetHost::objectPath),
                               QLatin1String(DBusWidgetHost::interfaceName), u"Reloaded"_s,
                               &listener, SLOT(onReloaded(QString))));
    auto host = std::make_unique<DBusWidgetHost>(snapshot, bus.connect(u"app"_s));
    EXPECT_TRUE(host->isPublished());
    EXPECT_TRUE(host->ownsServiceName());
    const QLatin1String service(DBusWidgetHost::serviceName);
    EXPECT_TRUE(widget.interface()->isServiceRegistered(service).value());
    // Asked without blocking: the object answers from this very thread.
    QDBusMessage get =
        QDBusMessage::createMethodCall(service, QLatin1String(DBusWidgetHost::objectPath),
                                       u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    get << QLatin1String(DBusWidgetHost::interfaceName) << u"SnapshotPath"_s;
    QDBusPendingCall reply = widget.asyncCall(get);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply.isFinished(); }, 3000));
    ASSERT_FALSE(reply.isError()) << qPrintable(reply.error().message());
    EXPECT_EQ(reply.reply().arguments().value(0).value<QDBusVariant>().variant().toString(),
              snapshot);

    // A second store's instance on the same bus goes without the name but still signals.
    DBusWidgetHost second(u"/elsewhere/today.json"_s, bus.connect(u"second-app"_s));
    EXPECT_TRUE(second.isPublished());
    EXPECT_FALSE(second.ownsServiceName());
    host->reloadAllTimelines();
    second.reloadAllTimelines();
    host->reloadAllTimelines();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.paths.size() >= 3; }, 3000));
    QStringList paths = listener.paths;
    paths.sort(); // signals from two connections come in no set order
    EXPECT_EQ(paths, (QStringList{u"/elsewhere/today.json"_s, snapshot, snapshot}));

    host.reset();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !widget.interface()->isServiceRegistered(service).value(); }, 3000));
}

#include "dbuswidgethost_test.moc"
