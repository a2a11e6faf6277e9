#pragma once

#include "preferences/appearance.h"
#include "preferences/apptab.h"
#include "preferences/opento.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSettings>
#include <QUrl>

namespace qb {

// The user's preferences file: "appearance", "openTo" and "keepInTray", each main window's stored
// perspective, and an optional update-feed override. Reads fall back to the defaults and
// write nothing; writes go to disk at once. Every Preferences object on the same file follows
// changes, whether made through another object in this process or by another process.
class Preferences : public QObject {
    Q_OBJECT
    // Raw values for QML pickers; an unknown raw value written from QML is ignored.
    Q_PROPERTY(
        QString appearance READ appearanceRaw WRITE setAppearanceRaw NOTIFY appearanceChanged)
    Q_PROPERTY(QString openTo READ openToRaw WRITE setOpenToRaw NOTIFY openToChanged)
    Q_PROPERTY(bool keepInTray READ keepInTray WRITE setKeepInTray NOTIFY keepInTrayChanged)

public:
    // The file QSettings uses for organisation and application "Quillbrook" in the user's
    // config folder.
    static QString standardFilePath();

    explicit Preferences(const QString &filePath = standardFilePath(), QObject *parent = nullptr);
    ~Preferences() override;

    QString filePath() const { return m_filePath; }

    Appearance appearance() const { return m_appearance; }
    void setAppearance(Appearance appearance);
    QString appearanceRaw() const { return rawValue(m_appearance); }
    void setAppearanceRaw(const QString &raw);

    OpenTo openTo() const { return m_openTo; }
    void setOpenTo(OpenTo openTo);
    QString openToRaw() const { return rawValue(m_openTo); }
    void setOpenToRaw(const QString &raw);

    // Whether closing the last window leaves the app running in the tray (when the desktop
    // has one); "keepInTray", on unless stored as false.
    bool keepInTray() const { return m_keepInTray; }
    void setKeepInTray(bool keep);

    // The perspective last shown by the main window with this index (0 for the first window).
    // The platform has no scene restoration, so each window's value has its own group.
    Q_INVOKABLE QString storedPerspectiveRaw(int window) const;
    AppTab storedPerspective(int window) const;
    // Whether that window ever stored a perspective (a new window has not).
    bool hasStoredPerspective(int window) const;
    void setStoredPerspective(int window, AppTab tab);

    // The feed URL stored under "updateFeedUrl", or an empty URL when none overrides the
    // build's own.
    QUrl updateFeedUrlOverride() const;

    // Re-reads the file and notifies what changed. Called on file changes; public so a caller
    // that knows the file changed need not wait for the watcher.
    void reload();

signals:
    void appearanceChanged();
    void openToChanged();
    void keepInTrayChanged();

private:
    template <typename Enum> bool store(Enum &field, Enum value, const QString &key);
    void write(const QString &key, const QString &raw);
    void watchFile();

    QString m_filePath;
    QSettings m_settings;
    QFileSystemWatcher m_watcher;
    Appearance m_appearance = Appearance::System;
    OpenTo m_openTo = OpenTo::LastUsed;
    bool m_keepInTray = true;
};

} // namespace qb
