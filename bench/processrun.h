#pragma once

#include <QString>
#include <QStringList>

namespace qb::bench {

struct Figures {
    bool ok = false;
    double seconds = 0;    // wall time
    double cpuSeconds = 0; // user and system time: what other work on the machine changes least
    long peakKiB = 0;
};

// Runs a program with `environment` added to this one's and its standard output in
// `outputPath`, and measures it: wall and CPU time and the largest resident set.
Figures measure(const QStringList &command, const QStringList &environment,
                const QString &outputPath = QStringLiteral("/dev/null"));

} // namespace qb::bench
