#include "settingsmodel.h"

#include "app/dependency.h"
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

void SettingsModel::setPreferences(Preferences *preferences) {
    if (!replaceFollowed(m_preferences, preferences, this))
        return;
    if (m_preferences) {
        connect(m_preferences, &Preferences::appearanceChanged, this,
                &SettingsModel::appearanceChanged);
        connect(m_preferences, &Preferences::openToChanged, this, &SettingsModel::openToChanged);
        connect(m_preferences, &Preferences::keepInTrayChanged, this,
                &SettingsModel::keepInTrayChanged);
    }
    emit preferencesChanged();
    emit appearanceChanged();
    emit openToChanged();
    emit keepInTrayChanged();
}

QString SettingsModel::appearance() const {
    return rawValue(m_preferences ? m_preferences->appearance() : Appearance::System);
}

void SettingsModel::setAppearance(const QString &raw) {
    if (m_preferences)
        m_preferences->setAppearanceRaw(raw);
}

QString SettingsModel::openTo() const {
    return rawValue(m_preferences ? m_preferences->openTo() : OpenTo::LastUsed);
}

void SettingsModel::setOpenTo(const QString &raw) {
    if (m_preferences)
        m_preferences->setOpenToRaw(raw);
}

bool SettingsModel::keepInTray() const {
    return m_preferences ? m_preferences->keepInTray() : true;
}

void SettingsModel::setKeepInTray(bool keep) {
    if (m_preferences)
        m_preferences->setKeepInTray(keep);
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
