// Whole-process figures of the command-line client, side by side with Taskwarrior's (Debian's
// taskwarrior; its rows are skipped with a message when `task` is missing) and, when given, an
// earlier build of the client:
//
//     cli_bench [--runs 31] [--baseline PATH_TO_AN_EARLIER_quillbrook-cli] [--folder DIR]
//
// Two store shapes, each filled the same way for every program: 100,000 records shaped like
// years of use (most completed, twenty due today and the other open ones later; imported from
// one pair of generated files, about half a minute),
// and 20 open records added one by one. Each round runs every program on every shape once, in
// turn and in another order each time, so that whatever else the machine does falls on all
// of them alike; the table gives
// medians of wall time and CPU time (user and system) per process, and the client's time
// divided by each program's in the same round, the median of those over the rounds (below 1:
// the client is quicker).
//
// The commands: `add TITLE` (to Today, dated today) against `task add TITLE scheduled:today`,
// and `list today` against
// `task scheduled.before:tomorrow list` (the open tasks dated up to today).

#include "pairedfiles.h"
#include "processrun.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

using qb::bench::Figures;
using qb::bench::measure;

constexpr int largeCount = 100000;
constexpr int smallCount = 20;

// One program over one store: how to run a command against it.
struct Subject {
    QString name;
    QString program;
    QStringList environment;
    bool isTask = false;

    QStringList command(const QString &which) const {
        if (which == u"add")
            return isTask ? QStringList{program, QStringLiteral("add"), QStringLiteral("Buy milk"),
                                        QStringLiteral("scheduled:today")}
                          : QStringList{program, QStringLiteral("add"), QStringLiteral("Buy"),
                                        QStringLiteral("milk")};
        return isTask ? QStringList{program, QStringLiteral("scheduled.before:tomorrow"),
                                    QStringLiteral("list")}
                      : QStringList{program, QStringLiteral("list"), QStringLiteral("today")};
    }
};

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One program's times in one cell, a sample per round, in round order.
struct Samples {
    std::vector<double> wall, cpu;
    double medianWall() const { return median(wall); }
    double medianCpu() const { return median(cpu); }
};

// The median over rounds of one program's time divided by another's in the same round. Each
// round is a block that runs both under the same conditions; a run right after Taskwarrior's
// (which leaves the caches cold) takes about a millisecond longer, so the times of a cell fall
// in two groups, and a ratio of the two medians swings with how many runs land in each: from
// 0.63 to 0.76 between windows of 31 rounds of one run, where this ratio stays within 0.63 to
// 0.69.
double pairedRatio(const std::vector<double> &ours, const std::vector<double> &theirs) {
    std::vector<double> ratios;
    for (std::size_t round = 0; round < std::min(ours.size(), theirs.size()); ++round)
        ratios.push_back(ours[round] / theirs[round]);
    return median(std::move(ratios));
}

Subject client(const QString &name, const QString &program, const QString &home) {
    QDir().mkpath(home);
    return {name,
            program,
            {QStringLiteral("XDG_DATA_HOME=") + home, QStringLiteral("XDG_CONFIG_HOME=") + home,
             QStringLiteral("TZ=UTC"), QStringLiteral("LANG=en_US.UTF-8")}};
}

Subject taskwarrior(const QString &name, const QString &program, const QString &folder) {
    const QString data = folder + QStringLiteral("/data");
    QDir().mkpath(data);
    QFile rc(folder + QStringLiteral("/taskrc"));
    if (rc.open(QIODevice::WriteOnly))
        rc.write("data.location=" + QFile::encodeName(data) +
                 "\nconfirmation=off\nverbose=nothing\nhooks=off\n");
    return {name,
            program,
            {QStringLiteral("TASKRC=") + rc.fileName(), QStringLiteral("TASKDATA=") + data},
            true};
}

bool fillSmall(const Subject &subject) {
    for (int i = 0; i < smallCount; ++i) {
        if (!measure(subject.command(QStringLiteral("add")), subject.environment).ok)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    int runs = 31;
    QString baseline;
    QString base = QDir::tempPath();
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--runs")
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == u"--baseline")
            baseline = args[i + 1];
        else if (args[i] == u"--folder")
            base = args[i + 1];
    }
    const QString task = QStandardPaths::findExecutable(QStringLiteral("task"));
    if (task.isEmpty())
        std::printf("task is not installed (apt-get install taskwarrior): its rows are skipped\n");

    QTemporaryDir folder(base + QStringLiteral("/qb-cli-bench-XXXXXX"));
    const auto at = [&](const QString &name) { return folder.filePath(name); };
    const QString ours = at(QStringLiteral("generated.json"));
    const QString theirs = at(QStringLiteral("tasks.json"));
    // Dated open records from today on (the runs are in UTC): a handful due today, as in use.
    const qint64 today = QDateTime::currentSecsSinceEpoch() / 86400 * 86400;
    if (!qb::bench::writePairedImportFiles(largeCount, ours, theirs, today)) {
        std::fprintf(stderr, "cannot write the generated files in %s\n", qPrintable(folder.path()));
        return 1;
    }

    // Per shape: the client first (the reference of the ratios), then the others.
    QList<QList<Subject>> shapes(2);
    const QString cli = QStringLiteral(QB_CLI_PATH);
    shapes[0].append(client(QStringLiteral("quillbrook-cli"), cli, at(QStringLiteral("large"))));
    shapes[1].append(client(QStringLiteral("quillbrook-cli"), cli, at(QStringLiteral("small"))));
    if (!baseline.isEmpty()) {
        shapes[0].append(
            client(QStringLiteral("baseline"), baseline, at(QStringLiteral("large-b"))));
        shapes[1].append(
            client(QStringLiteral("baseline"), baseline, at(QStringLiteral("small-b"))));
    }
    if (!task.isEmpty()) {
        shapes[0].append(taskwarrior(QStringLiteral("task"), task, at(QStringLiteral("large-t"))));
        shapes[1].append(taskwarrior(QStringLiteral("task"), task, at(QStringLiteral("small-t"))));
    }
    for (const Subject &subject : std::as_const(shapes[0])) {
        const QStringList import =
            subject.isTask ? QStringList{subject.program, QStringLiteral("import"), theirs}
                           : QStringList{subject.program, QStringLiteral("import"), ours};
        if (!measure(import, subject.environment).ok)
            return 1;
    }
    for (const Subject &subject : std::as_const(shapes[1])) {
        if (!fillSmall(subject))
            return 1;
    }

    const QStringList commands{QStringLiteral("add"), QStringLiteral("list")};
    // samples[shape][command][subject]
    std::vector<std::vector<std::vector<Samples>>> samples(2);
    for (int shape = 0; shape < 2; ++shape)
        samples[shape].assign(2, std::vector<Samples>(std::size_t(shapes[shape].size())));
    for (int round = 0; round < runs; ++round) {
        for (int shape = 0; shape < 2; ++shape) {
            for (int c = 0; c < 2; ++c) {
                // Each round runs them in another order, forwards and backwards in turn, so
                // that each follows each as often: a run right after one that left much to
                // write back, or cold caches, pays for part of it.
                const qsizetype count = shapes[shape].size();
                for (qsizetype turn = 0; turn < count; ++turn) {
                    const qsizetype step = (turn + round / 2) % count;
                    const qsizetype s = round % 2 == 0 ? step : count - 1 - step;
                    const Subject &subject = shapes[shape][s];
                    // What the previous program left to write (Taskwarrior rewrites megabytes
                    // per add on the large store) goes to the disk first, outside the timing:
                    // otherwise the next program's own disk syncs queue behind it.
                    ::sync();
                    const Figures figures =
                        measure(subject.command(commands[c]), subject.environment);
                    if (!figures.ok)
                        return 1;
                    auto &cell = samples[shape][c][std::size_t(s)];
                    cell.wall.push_back(figures.seconds * 1000);
                    cell.cpu.push_back(figures.cpuSeconds * 1000);
                }
            }
        }
    }

    std::printf("medians of %d runs per cell; ratio: the median over rounds of quillbrook-cli's "
                "time / the program's in the same round\n",
                runs);
    std::printf("%-26s %-16s %10s %8s %10s %8s\n", "store", "program", "wall ms", "ratio", "cpu ms",
                "ratio");
    const char *shapeNames[] = {"100,000 shaped like use", "20 open"};
    const char *commandNames[] = {"add", "list today"};
    for (int c = 0; c < 2; ++c) {
        std::printf("%s\n", commandNames[c]);
        for (int shape = 0; shape < 2; ++shape) {
            const Samples &reference = samples[shape][c][0];
            for (qsizetype s = 0; s < shapes[shape].size(); ++s) {
                const Samples &cell = samples[shape][c][std::size_t(s)];
                std::printf("  %-24s %-16s %10.2f %8.2f %10.2f %8.2f\n", shapeNames[shape],
                            qPrintable(shapes[shape][s].name), cell.medianWall(),
                            pairedRatio(reference.wall, cell.wall), cell.medianCpu(),
                            pairedRatio(reference.cpu, cell.cpu));
            }
        }
    }
    return 0;
}
