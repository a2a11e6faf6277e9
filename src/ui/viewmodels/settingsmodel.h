#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVariantList>

#include <qqmlregistration.h>

#include "preferences/preferences.h"

namespace qb {

class Preferences;

// The settings window: the two stored choices as pickers, the tray switch and the version line
// (the Sync section has a model of its own). Holds nothing itself; every choice is written to the
// preferences at once.
class SettingsModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::Preferences *preferences READ preferences WRITE setPreferences NOTIFY
                   preferencesChanged)
    // Raw values of the stored preferences ("system", "lastUsed", …).
    Q_PROPERTY(QString appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)
    Q_PROPERTY(QString openTo READ openTo WRITE setOpenTo NOTIFY openToChanged)
    Q_PROPERTY(bool keepInTray READ keepInTray WRITE setKeepInTray NOTIFY keepInTrayChanged)
    // Each option as {value, title}, in the order the pickers list them.
    Q_PROPERTY(QVariantList appearanceOptions READ appearanceOptions CONSTANT)
    Q_PROPERTY(QVariantList openToOptions READ openToOptions CONSTANT)
    Q_PROPERTY(QString versionText READ versionText CONSTANT)

public:
    explicit SettingsModel(QObject *parent = nullptr);

    Preferences *preferences() const { return m_preferences; }
    void setPreferences(Preferences *preferences);
    QString appearance() const;
    void setAppearance(const QString &raw);
    QString openTo() const;
    void setOpenTo(const QString &raw);
    bool keepInTray() const;
    void setKeepInTray(bool keep);
    static QVariantList appearanceOptions();
    static QVariantList openToOptions();

    // This build's version line, "0.1.0 (1)".
    static QString versionText();
    // The version line from the two stored values; a value that is absent or not text falls
    // back to "1.0" and "1".
    static QString versionText(const QVariant &shortVersion, const QVariant &build);

signals:
    void preferencesChanged();
    void appearanceChanged();
    void openToChanged();
    void keepInTrayChanged();

private:
    QPointer<Preferences> m_preferences;
};

} // namespace qb
