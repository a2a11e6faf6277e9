#include "preferences/desktopcolorschemesource.h"
#include "preferences/effectivecolorscheme.h"
#include "preferences/preferences.h"

#include "datafiles.h"
#include "scopedumask.h"
#include "tempstore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace qb;

namespace {

class PreferencesTest : public ::testing::Test {
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("Quillbrook/Quillbrook.conf")); }

    QByteArray fileContents() const { return test::dataFile(path()); }

    test::TempFolder m_folder;
};

} // namespace

TEST_F(PreferencesTest, readingWritesNothingAndUnknownStoredStringsReadAsDefaults) {
    EXPECT_TRUE(Preferences(path()).updateFeedUrlOverride().isEmpty());
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).path()));
    test::rewriteFile(path(), "[General]\nappearance=Dark\nopenTo=sometimes\nkeepInTray=no\n"
                              "[MainWindow1]\nmacPerspective=Done\n"
                              "[MainWindow2]\nmacPerspective=done, later\n");
    Preferences preferences(path());
    EXPECT_TRUE(preferences.keepInTray()); // on unless stored off
    EXPECT_EQ(preferences.appearance(), Appearance::System);
    EXPECT_EQ(preferences.openTo(), OpenTo::LastUsed);
    EXPECT_EQ(preferences.storedPerspective(0), AppTab::Today);
    EXPECT_EQ(preferences.storedPerspective(1), AppTab::Today);
    EXPECT_EQ(preferences.appearanceRaw(), u"system");
}

TEST_F(PreferencesTest, theFileIsPrivateWhateverTheUmask) {
    const test::ScopedUmask open(0);
    Preferences(path()).setAppearance(Appearance::Dark);
    EXPECT_EQ(QFile::permissions(path()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(QFile::permissions(QFileInfo(path()).absolutePath()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                  QFile::WriteUser | QFile::ExeUser);
}

// A change is written at once and reaches every object on the same file, without an event
// loop; setting the same value again, or an unknown text, is no change.
TEST_F(PreferencesTest, writesAtOnceAndNotifiesEveryObjectOnTheSameFileOfRealChanges) {
    Preferences settingsWindow(path());
    Preferences mainWindow(path());
    test::TempFolder otherFolder;
    Preferences unrelated(otherFolder.filePath(QStringLiteral("other.conf")));
    QSignalSpy mainSpy(&mainWindow, &Preferences::appearanceChanged);
    QSignalSpy unrelatedSpy(&unrelated, &Preferences::appearanceChanged);

    settingsWindow.setAppearance(Appearance::Light);
    settingsWindow.setOpenToRaw(QStringLiteral("later"));
    settingsWindow.setKeepInTray(false);
    EXPECT_TRUE(fileContents().contains("appearance=light"));
    EXPECT_TRUE(fileContents().contains("openTo=later"));
    EXPECT_TRUE(fileContents().contains("keepInTray=false"));
    EXPECT_FALSE(mainWindow.keepInTray());
    EXPECT_EQ(mainSpy.count(), 1);
    EXPECT_EQ(mainWindow.appearance(), Appearance::Light);
    EXPECT_EQ(mainWindow.openTo(), OpenTo::Later);
    EXPECT_EQ(unrelatedSpy.count(), 0);

    settingsWindow.setAppearance(Appearance::Light);
    settingsWindow.setAppearanceRaw(QStringLiteral("purple"));
    EXPECT_EQ(mainSpy.count(), 1);
    EXPECT_EQ(Preferences(path()).appearance(), Appearance::Light);
}

TEST_F(PreferencesTest, followsAnotherProcessThroughReplacementsAndInPlaceWrites) {
    Preferences preferences(path());
    QSignalSpy spy(&preferences, &Preferences::appearanceChanged);

    // Sizes differ on purpose: the settings cache notices a changed file by size and time.
    test::replaceFile(path(), "[General]\nappearance=dark\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return preferences.appearance() == Appearance::Dark; }, 2000));

    test::rewriteFile(path(), "[General]\nappearance=light\nopenTo=later\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return preferences.openTo() == OpenTo::Later; }, 2000));
    EXPECT_EQ(preferences.appearance(), Appearance::Light);

    // A second replacement: the watch must have survived the first one.
    test::replaceFile(path(), "[General]\nappearance=system\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return preferences.appearance() == Appearance::System; }, 2000));
    EXPECT_EQ(preferences.openTo(), OpenTo::LastUsed);
    EXPECT_GE(spy.count(), 3);
}

TEST_F(PreferencesTest, remembersThePerspectivePerWindow) {
    {
        Preferences preferences(path());
        preferences.setStoredPerspective(1, AppTab::Done);
        preferences.setStoredPerspective(0, AppTab::Later);
        preferences.setStoredPerspective(0, AppTab::Today);
    }
    Preferences reopened(path());
    EXPECT_EQ(reopened.storedPerspective(0), AppTab::Today);
    EXPECT_EQ(reopened.storedPerspective(1), AppTab::Done);
    EXPECT_EQ(reopened.storedPerspectiveRaw(1), u"done");
    EXPECT_EQ(reopened.storedPerspective(2), AppTab::Today);
    EXPECT_TRUE(fileContents().contains("macPerspective=done"));
}

namespace {

class FakeDesktop : public DesktopColorSchemeSource {
public:
    DesktopColorScheme colorScheme() const override { return m_scheme; }
    void set(DesktopColorScheme scheme) {
        m_scheme = scheme;
        emit colorSchemeChanged();
    }

private:
    DesktopColorScheme m_scheme = DesktopColorScheme::PreferDark;
};

} // namespace

// A fixed appearance ignores the desktop; System follows its preference, or without one the
// undecided scheme. Either side's change is followed.
TEST_F(PreferencesTest, effectiveSchemeCombinesAndFollowsPreferenceAndDesktop) {
    Preferences preferences(path());
    FakeDesktop desktop;
    EffectiveColorScheme effective(&preferences, &desktop);
    QSignalSpy spy(&effective, &EffectiveColorScheme::colorSchemeChanged);
    EXPECT_TRUE(effective.isDark());
    desktop.set(DesktopColorScheme::PreferLight);
    EXPECT_FALSE(effective.isDark());
    preferences.setAppearance(Appearance::Dark);
    EXPECT_TRUE(effective.isDark());
    desktop.set(DesktopColorScheme::PreferLight); // no change of the outcome, no notice
    EXPECT_EQ(spy.count(), 2);
    preferences.setAppearance(Appearance::Light);
    desktop.set(DesktopColorScheme::PreferDark);
    EXPECT_FALSE(effective.isDark());
    preferences.setAppearance(Appearance::System);
    desktop.set(DesktopColorScheme::NoPreference);
    EXPECT_FALSE(effective.isDark());
    effective.setUndecidedScheme(ColorScheme::Dark);
    EXPECT_TRUE(effective.isDark());

    EffectiveColorScheme withoutDesktop(&preferences, nullptr);
    EXPECT_EQ(withoutDesktop.colorScheme(), ColorScheme::Light);
    withoutDesktop.setUndecidedScheme(ColorScheme::Dark);
    EXPECT_EQ(withoutDesktop.colorScheme(), ColorScheme::Dark);
}
