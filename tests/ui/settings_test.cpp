#include "appfixture.h"
#include "updates/checkforupdatesviewmodel.h"
#include "updates/feedfetcher.h"
#include "updates/updater.h"
#include "viewmodels/settingsmodel.h"

#include <QSettings>
#include <QTest>

using namespace qb;

namespace {

class Settings : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        settings.setApp(app.get());
    }

    // What the preferences file holds under `key`, as another process would read it.
    QString stored(const QString &key) const {
        return QSettings(preferences->filePath(), QSettings::IniFormat).value(key).toString();
    }

    SettingsModel settings;
};

QStringList field(const QVariantList &options, const char *name) {
    QStringList result;
    for (const QVariant &option : options)
        result.append(option.toMap().value(QLatin1String(name)).toString());
    return result;
}

// Holds each request until the test answers it.
class HeldFetcher final : public FeedFetcher {
public:
    void fetch(const QUrl &, Completion done) override { *pending = std::move(done); }
    std::shared_ptr<Completion> pending = std::make_shared<Completion>();
};

} // namespace

TEST_F(Settings, withNothingStoredThePickersShowSystemAndLastUsed) {
    EXPECT_EQ(settings.appearance(), QStringLiteral("system"));
    EXPECT_EQ(settings.openTo(), QStringLiteral("lastUsed"));
    EXPECT_EQ(field(settings.appearanceOptions(), "value"),
              (QStringList{"system", "light", "dark"}));
    EXPECT_EQ(field(settings.appearanceOptions(), "title"),
              (QStringList{"System", "Light", "Dark"}));
    EXPECT_EQ(field(settings.openToOptions(), "title"),
              (QStringList{"Last used", "Today", "Later"}));
}

TEST_F(Settings, theTraySwitchIsOnByDefaultAndStoredAtOnce) {
    EXPECT_TRUE(settings.keepInTray());
    QSignalSpy changed(&settings, &SettingsModel::keepInTrayChanged);
    settings.setKeepInTray(false);
    EXPECT_FALSE(settings.keepInTray());
    EXPECT_EQ(stored(QStringLiteral("keepInTray")), QStringLiteral("false"));
    // Changed elsewhere (another settings window): the switch follows.
    Preferences(preferences->filePath()).setKeepInTray(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.keepInTray(); }, 2000));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(Settings, aChoiceIsStoredAtOnceAndAnUnknownOneIsIgnored) {
    QSignalSpy appearanceChanged(&settings, &SettingsModel::appearanceChanged);
    settings.setAppearance(QStringLiteral("dark"));
    settings.setOpenTo(QStringLiteral("later"));
    EXPECT_EQ(stored(QStringLiteral("appearance")), QStringLiteral("dark"));
    EXPECT_EQ(stored(QStringLiteral("openTo")), QStringLiteral("later"));
    EXPECT_EQ(preferences->appearance(), Appearance::Dark);
    EXPECT_EQ(settings.appearance(), QStringLiteral("dark"));
    EXPECT_GE(appearanceChanged.size(), 1);

    settings.setAppearance(QStringLiteral("sepia"));
    EXPECT_EQ(settings.appearance(), QStringLiteral("dark"));
    EXPECT_EQ(stored(QStringLiteral("appearance")), QStringLiteral("dark"));
}

TEST_F(Settings, aStoredUnknownValueReadsAsTheDefaultAndOutsideChangesShow) {
    {
        QSettings file(preferences->filePath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("appearance"), QStringLiteral("purple"));
        file.setValue(QStringLiteral("openTo"), QStringLiteral("today"));
    }
    QSignalSpy openToChanged(&settings, &SettingsModel::openToChanged);
    preferences->reload();
    EXPECT_EQ(settings.appearance(), QStringLiteral("system"));
    EXPECT_EQ(settings.openTo(), QStringLiteral("today"));
    EXPECT_EQ(openToChanged.size(), 1);
}

TEST_F(Settings, theVersionLineFallsBackForMissingOrNonTextValues) {
    EXPECT_EQ(SettingsModel::versionText(QStringLiteral("2.3"), QStringLiteral("41")),
              QStringLiteral("2.3 (41)"));
    EXPECT_EQ(SettingsModel::versionText(QVariant(), QVariant()), QStringLiteral("1.0 (1)"));
    EXPECT_EQ(SettingsModel::versionText(QStringLiteral("2.3"), QVariant(41)),
              QStringLiteral("2.3 (1)"));
    EXPECT_EQ(SettingsModel::versionText(), QStringLiteral(QB_VERSION) + QStringLiteral(" (") +
                                                QStringLiteral(QB_BUILD_NUMBER) + u')');
}

TEST_F(Settings, theUpdateCommandIsEnabledExactlyWhileTheUpdaterAllowsACheck) {
    // Without an updater the command stays disabled.
    EXPECT_FALSE(app->updates()->canCheckForUpdates());

    UpdaterConfig config;
    config.feedUrl = QUrl(QStringLiteral("https://quillbrook.example/feed"));
    config.currentVersion = QStringLiteral("1.0");
    auto fetcher = std::make_unique<HeldFetcher>();
    const auto pending = fetcher->pending;
    Updater updater(config, std::move(fetcher), time.makeTimer());
    QuillbrookApp::Parts parts = appParts();
    parts.updater = &updater;
    QuillbrookApp withUpdater(parts);
    CheckForUpdatesViewModel *command = withUpdater.updates();
    EXPECT_TRUE(command->canCheckForUpdates());

    QSignalSpy changed(command, &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
    command->checkForUpdates();
    EXPECT_FALSE(command->canCheckForUpdates());
    ASSERT_TRUE(*pending);
    (*pending)(FetchResult{{}, QStringLiteral("offline")});
    EXPECT_TRUE(command->canCheckForUpdates());
    EXPECT_EQ(changed.size(), 2);
}
