#include "temphome.h"

#include <QDir>

namespace qb::test {

TemporaryHome::TemporaryHome() {
    if (!m_home.isValid())
        return;
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const QString folder = m_home.filePath(QString::fromLatin1(variable));
        QDir().mkpath(folder);
        qputenv(variable, QFile::encodeName(folder));
    }
}

} // namespace qb::test
