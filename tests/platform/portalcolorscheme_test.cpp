#include "platform/portalcolorscheme.h"
#include "privatebus.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using qb::test::PrivateBus;

namespace {

// Stands in for the settings portal on a private bus.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public slots:
    // Like the real portal, Read wraps the value in a second variant.
    QDBusVariant Read(const QString &group, const QString &key) {
        if (group != u"org.freedesktop.appearance" || key != u"color-scheme")
            return QDBusVariant(QVariant::fromValue(QDBusVariant(u"unexpected"_s)));
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant::fromValue(1u))));
    }

signals:
    void SettingChanged(const QString &group, const QString &key, const QDBusVariant &value);
};

} // namespace

// Dark and light, nested or not, come over the bus below.
TEST(PortalValue, mapsThePortalsOtherNumbersAndValuesToNoPreferenceOrUnknown) {
    auto nested = [](const QVariant &value) {
        return QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(value))));
    };
    EXPECT_EQ(desktopColorSchemeFromPortal(nested(0u)), DesktopColorScheme::NoPreference);
    EXPECT_EQ(desktopColorSchemeFromPortal(nested(7u)), DesktopColorScheme::Unknown);
    EXPECT_EQ(desktopColorSchemeFromPortal(nested(u"1"_s)), DesktopColorScheme::Unknown);
    EXPECT_EQ(desktopColorSchemeFromPortal(QVariant()), DesktopColorScheme::Unknown);
}

class PortalOnPrivateBus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
    }

    PrivateBus bus;
    FakeSettingsPortal portal;
};

TEST_F(PortalOnPrivateBus, readsTheSchemeAndFollowsChanges) {
    QDBusConnection service = bus.connect(u"portal"_s);
    ASSERT_TRUE(service.registerObject(u"/org/freedesktop/portal/desktop"_s, &portal,
                                       QDBusConnection::ExportAllSlots |
                                           QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(service.registerService(u"org.freedesktop.portal.Desktop"_s));
    PortalColorScheme scheme(bus.connect(u"reader"_s));
    QSignalSpy spy(&scheme, &DesktopColorSchemeSource::colorSchemeChanged);
    EXPECT_EQ(scheme.colorScheme(), DesktopColorScheme::Unknown); // the read is asynchronous
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_EQ(scheme.colorScheme(), DesktopColorScheme::PreferDark);

    emit portal.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s,
                               QDBusVariant(QVariant::fromValue(2u)));
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_EQ(scheme.colorScheme(), DesktopColorScheme::PreferLight);

    // Other settings and repeated values change nothing.
    emit portal.SettingChanged(u"org.gnome.desktop.interface"_s, u"color-scheme"_s,
                               QDBusVariant(QVariant::fromValue(1u)));
    emit portal.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s,
                               QDBusVariant(QVariant::fromValue(2u)));
    EXPECT_FALSE(spy.wait(200));
    EXPECT_EQ(scheme.colorScheme(), DesktopColorScheme::PreferLight);
}

TEST_F(PortalOnPrivateBus, withoutABusOrAPortalTheSchemeStaysUnknown) {
    const QDBusConnection none =
        QDBusConnection::connectToBus(u"unix:path=/nonexistent/quillbrook-bus"_s, u"no-bus"_s);
    ASSERT_FALSE(none.isConnected());
    PortalColorScheme unconnected(none);
    PortalColorScheme lonely(bus.connect(u"lonely-reader"_s));
    for (PortalColorScheme *scheme : {&unconnected, &lonely}) {
        QSignalSpy spy(scheme, &DesktopColorSchemeSource::colorSchemeChanged);
        EXPECT_FALSE(spy.wait(200));
        EXPECT_EQ(scheme->colorScheme(), DesktopColorScheme::Unknown);
    }
    QDBusConnection::disconnectFromBus(u"no-bus"_s);
}

#include "portalcolorscheme_test.moc"
