#pragma once

#include <QString>
#include <QTemporaryDir>

namespace qb::test {

// A temporary folder for store files; removed with the object.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace qb::test
