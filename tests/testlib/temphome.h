#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace qb::test {

// Points XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_CACHE_HOME at folders of a throw-away home
// for as long as it lives, so a test program never touches the developer's real files.
class TemporaryHome {
public:
    TemporaryHome() {
        if (!m_home.isValid())
            return;
        for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            const QString folder = m_home.filePath(QString::fromLatin1(variable));
            QDir().mkpath(folder);
            qputenv(variable, QFile::encodeName(folder));
        }
    }
    bool isValid() const { return m_home.isValid(); }

private:
    QTemporaryDir m_home;
};

} // namespace qb::test
