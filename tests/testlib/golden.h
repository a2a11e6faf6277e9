#pragma once

#include "datafiles.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace qb::test {

// Checks a golden file of lines "input | ... | output | ...", each of `fields` fields:
// `compute` gets a line's fields and gives the last `outputs` of them as the code has them,
// joined by " | ". The lines are written back so and compared with the whole file.
inline void expectGolden(const QString &path, qsizetype fields, qsizetype outputs,
                         const std::function<QString(const QStringList &)> &compute) {
    const QString golden = QString::fromUtf8(dataFile(path));
    QString written;
    for (const QString &line : golden.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList row = line.split(QStringLiteral(" | "));
        ASSERT_EQ(row.size(), fields) << line.toStdString();
        written +=
            (row.mid(0, fields - outputs) << compute(row)).join(QStringLiteral(" | ")) + u'\n';
    }
    EXPECT_EQ(written, golden);
}

} // namespace qb::test
