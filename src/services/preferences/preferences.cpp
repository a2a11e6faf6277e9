#include "preferences/preferences.h"

#include "base/privatefile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace qb {

namespace {

const QString appearanceKey = QStringLiteral("appearance");
const QString openToKey = QStringLiteral("openTo");
const QString perspectiveKey = QStringLiteral("macPerspective");
const QString feedUrlKey = QStringLiteral("updateFeedUrl");
const QString keepInTrayKey = QStringLiteral("keepInTray");

// Every live Preferences object, so a write reaches the others at once instead of after the
// file watcher's round trip. Main thread only.
std::vector<Preferences *> &liveObjects() {
    static std::vector<Preferences *> objects;
    return objects;
}

QString perspectivePath(int window) {
    return QStringLiteral("MainWindow%1/").arg(window + 1) + perspectiveKey;
}

template <typename Enum>
Enum readCase(const QSettings &settings, const QString &key, Enum fallback) {
    const QVariant stored = settings.value(key);
    if (stored.typeId() != QMetaType::QString)
        return fallback;
    return caseFromRaw<Enum>(stored.toString()).value_or(fallback);
}

// A switch stored as text: "true" or "false", anything else is the fallback.
bool readSwitch(const QSettings &settings, const QString &key, bool fallback) {
    const QVariant stored = settings.value(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() != QMetaType::QString)
        return fallback;
    const QString text = stored.toString();
    if (text == u"true")
        return true;
    if (text == u"false")
        return false;
    return fallback;
}

} // namespace

QString Preferences::standardFilePath() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillbrook"),
                     QStringLiteral("Quillbrook"))
        .fileName();
}

Preferences::Preferences(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(QFileInfo(filePath).absoluteFilePath())
    , m_settings(m_filePath, QSettings::IniFormat) {
    liveObjects().push_back(this);
    // QSettings replaces the file atomically, which ends a watch on the file itself: the folder
    // is watched for replacements and the file for writes made in place.
    const QString folder = QFileInfo(m_filePath).absolutePath();
    // Failing that, the folder is used as the system leaves it.
    (void)makePrivateFolder(folder);
    m_watcher.addPath(folder);
    watchFile();
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFile();
        reload();
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        watchFile();
        reload();
    });
    m_appearance = readCase(m_settings, appearanceKey, Appearance::System);
    m_openTo = readCase(m_settings, openToKey, OpenTo::LastUsed);
    m_keepInTray = readSwitch(m_settings, keepInTrayKey, true);
}

Preferences::~Preferences() {
    auto &objects = liveObjects();
    objects.erase(std::remove(objects.begin(), objects.end(), this), objects.end());
}

void Preferences::watchFile() {
    if (QFileInfo::exists(m_filePath) && !m_watcher.files().contains(m_filePath))
        m_watcher.addPath(m_filePath);
}

template <typename Enum> bool Preferences::store(Enum &field, Enum value, const QString &key) {
    if (value == field)
        return false;
    field = value;
    write(key, rawValue(value));
    return true;
}

void Preferences::setAppearance(Appearance appearance) {
    if (store(m_appearance, appearance, appearanceKey))
        emit appearanceChanged();
}

void Preferences::setAppearanceRaw(const QString &raw) {
    if (const auto appearance = caseFromRaw<Appearance>(raw))
        setAppearance(*appearance);
}

void Preferences::setOpenTo(OpenTo openTo) {
    if (store(m_openTo, openTo, openToKey))
        emit openToChanged();
}

void Preferences::setOpenToRaw(const QString &raw) {
    if (const auto openTo = caseFromRaw<OpenTo>(raw))
        setOpenTo(*openTo);
}

void Preferences::setKeepInTray(bool keep) {
    if (keep == m_keepInTray)
        return;
    m_keepInTray = keep;
    write(keepInTrayKey, keep ? QStringLiteral("true") : QStringLiteral("false"));
    emit keepInTrayChanged();
}

QString Preferences::storedPerspectiveRaw(int window) const {
    return rawValue(storedPerspective(window));
}

AppTab Preferences::storedPerspective(int window) const {
    return readCase(m_settings, perspectivePath(window), AppTab::Today);
}

bool Preferences::hasStoredPerspective(int window) const {
    return m_settings.contains(perspectivePath(window));
}

void Preferences::setStoredPerspective(int window, AppTab tab) {
    if (m_settings.value(perspectivePath(window)).toString() == rawValue(tab))
        return;
    write(perspectivePath(window), rawValue(tab));
}

QUrl Preferences::updateFeedUrlOverride() const {
    return QUrl(m_settings.value(feedUrlKey).toString(), QUrl::StrictMode);
}

void Preferences::reload() {
    m_settings.sync();
    const Appearance appearance = readCase(m_settings, appearanceKey, Appearance::System);
    const OpenTo openTo = readCase(m_settings, openToKey, OpenTo::LastUsed);
    const bool keepInTray = readSwitch(m_settings, keepInTrayKey, true);
    if (appearance != m_appearance) {
        m_appearance = appearance;
        emit appearanceChanged();
    }
    if (openTo != m_openTo) {
        m_openTo = openTo;
        emit openToChanged();
    }
    if (keepInTray != m_keepInTray) {
        m_keepInTray = keepInTray;
        emit keepInTrayChanged();
    }
}

void Preferences::write(const QString &key, const QString &raw) {
    m_settings.setValue(key, raw);
    // QSettings keeps the permissions of the file it replaces and gives a new one the umask's;
    // failing to make it private, the preference is still written.
    (void)makePrivateFolder(QFileInfo(m_filePath).absolutePath());
    (void)makePrivateFile(m_filePath);
    m_settings.sync();
    watchFile();
    // Copy: a receiver may create or destroy Preferences objects while we notify.
    const std::vector<Preferences *> others = liveObjects();
    for (Preferences *other : others) {
        if (other != this && other->m_filePath == m_filePath &&
            std::find(liveObjects().begin(), liveObjects().end(), other) != liveObjects().end())
            other->reload();
    }
}

} // namespace qb
