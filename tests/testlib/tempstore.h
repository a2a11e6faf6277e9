#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qb::test {

// A temporary folder for store files; removed with the object.
class TempFolder {
public:
    TempFolder() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace qb::test
