#pragma once

#include <QByteArrayList>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <gtest/gtest.h>

namespace qb::test {

// The bytes of a file; empty, with a failure, when it cannot be read.
inline QByteArray dataFile(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The non-empty lines of a data file, one input a line.
inline QByteArrayList dataLines(const QString &path) {
    QByteArrayList lines = dataFile(path).split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// Writes a file as another program would: a new file put in its place in one step, or the
// same file truncated and written again.
inline void replaceFile(const QString &path, const QByteArray &contents) {
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(contents);
    ASSERT_TRUE(file.commit()) << path.toStdString();
}
inline void rewriteFile(const QString &path, const QByteArray &contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(contents);
}

} // namespace qb::test
