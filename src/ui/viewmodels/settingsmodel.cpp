#include "settingsmodel.h"

#include "app/quillbrookapp.h"
#include "preferences/preferences.h"

#include <QVariantMap>

namespace qb {

namespace {

template <TabledEnum Enum> QVariantList optionsOf() {
    QVariantList options;
    for (Enum value : allCases<Enum>()) {
        options.append(QVariantMap{
            {QStringLiteral("value"), rawValue(value)},
            {QStringLiteral("title"), title(value)},
        });
    }
    return options;
}

QString textOr(const QVariant &value, const QString &fallback) {
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}

} // namespace

SettingsModel::SettingsModel(QObject *parent)
    : QObject(parent) {}

void SettingsModel::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    if (m_app && m_app->preferences())
        disconnect(m_app->preferences(), nullptr, this, nullptr);
    m_app = app;
    if (Preferences *preferences = m_app ? m_app->preferences() : nullptr) {
        connect(preferences, &Preferences::appearanceChanged, this,
                &SettingsModel::appearanceChanged);
        connect(preferences, &Preferences::openToChanged, this, &SettingsModel::openToChanged);
        connect(preferences, &Preferences::keepInTrayChanged, this,
                &SettingsModel::keepInTrayChanged);
    }
    emit appChanged();
    emit appearanceChanged();
    emit openToChanged();
    emit keepInTrayChanged();
}

QString SettingsModel::appearance() const {
    const Preferences *preferences = m_app ? m_app->preferences() : nullptr;
    return rawValue(preferences ? preferences->appearance() : Appearance::System);
}

void SettingsModel::setAppearance(const QString &raw) {
    if (Preferences *preferences = m_app ? m_app->preferences() : nullptr)
        preferences->setAppearanceRaw(raw);
}

QString SettingsModel::openTo() const {
    const Preferences *preferences = m_app ? m_app->preferences() : nullptr;
    return rawValue(preferences ? preferences->openTo() : OpenTo::LastUsed);
}

void SettingsModel::setOpenTo(const QString &raw) {
    if (Preferences *preferences = m_app ? m_app->preferences() : nullptr)
        preferences->setOpenToRaw(raw);
}

bool SettingsModel::keepInTray() const {
    const Preferences *preferences = m_app ? m_app->preferences() : nullptr;
    return preferences ? preferences->keepInTray() : true;
}

void SettingsModel::setKeepInTray(bool keep) {
    if (Preferences *preferences = m_app ? m_app->preferences() : nullptr)
        preferences->setKeepInTray(keep);
}

QVariantList SettingsModel::appearanceOptions() {
    return optionsOf<Appearance>();
}

QVariantList SettingsModel::openToOptions() {
    return optionsOf<OpenTo>();
}

QString SettingsModel::versionText() {
    return versionText(QStringLiteral(QB_VERSION), QStringLiteral(QB_BUILD_NUMBER));
}

QString SettingsModel::versionText(const QVariant &shortVersion, const QVariant &build) {
    return textOr(shortVersion, QStringLiteral("1.0")) + QStringLiteral(" (") +
           textOr(build, QStringLiteral("1")) + u')';
}

} // namespace qb
