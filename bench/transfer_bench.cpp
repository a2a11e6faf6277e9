// Whole-process figures of the client's import and export: wall time and peak memory (the
// largest resident set of the process) at 100,000 and 1,000,000 to-dos shaped like a store used
// for years, and, in the same run on the same machine, `task import` of the same number of tasks
// carrying the same texts (Debian's taskwarrior; skipped with a message when `task` is missing).
//
//     transfer_bench [--sizes 100000,1000000] [--folder DIR]
//
// For each size: a generated file is imported into an empty store, that store is exported, and
// the export is imported into a second empty store (a backup restored, the figure to compare).

#include "pairedfiles.h"
#include "processrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using qb::bench::Figures;
using qb::bench::measure;

constexpr int taskCompared = 100000;

void report(const char *what, int count, const Figures &figures, qint64 bytes) {
    std::printf("%-24s %9d  %8.2f s  %8.2f s  %8.1f MiB  %8.1f MB\n", what, count, figures.seconds,
                figures.cpuSeconds, figures.peakKiB / 1024.0, bytes / 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QList<int> sizes{100000, 1000000};
    QString base = QDir::tempPath();
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--sizes") {
            sizes.clear();
            for (const QString &size : args[i + 1].split(u','))
                sizes.append(size.toInt());
        } else if (args[i] == u"--folder") {
            base = args[i + 1];
        }
    }
    const QString task = QStandardPaths::findExecutable(QStringLiteral("task"));
    if (task.isEmpty())
        std::printf("task is not installed (apt-get install taskwarrior): its figures are "
                    "skipped\n");

    std::printf("%-24s %9s  %10s  %10s  %12s  %11s\n", "run", "to-dos", "time", "cpu",
                "peak memory", "file");
    for (int count : sizes) {
        QTemporaryDir folder(base + QStringLiteral("/qb-transfer-XXXXXX"));
        const QString ours = folder.filePath(QStringLiteral("generated.json"));
        const QString theirs = folder.filePath(QStringLiteral("tasks.json"));
        if (!qb::bench::writePairedImportFiles(count, ours, theirs)) {
            std::fprintf(stderr, "cannot write the generated files in %s\n",
                         qPrintable(folder.path()));
            return 1;
        }
        const auto client = [&](const QString &home) {
            QDir().mkpath(folder.filePath(home));
            return QStringList{QStringLiteral("XDG_DATA_HOME=") + folder.filePath(home),
                               QStringLiteral("XDG_CONFIG_HOME=") + folder.filePath(home),
                               QStringLiteral("TZ=UTC"), QStringLiteral("LANG=en_US.UTF-8")};
        };
        const QString cli = QStringLiteral(QB_CLI_PATH);
        const QString exported = folder.filePath(QStringLiteral("export.json"));
        const Figures imported = measure({cli, QStringLiteral("import"), ours}, client("a"));
        report("import (generated file)", count, imported, QFileInfo(ours).size());
        const Figures exporting = measure({cli, QStringLiteral("export")}, client("a"), exported);
        report("export", count, exporting, QFileInfo(exported).size());
        const Figures restored = measure({cli, QStringLiteral("import"), exported}, client("b"));
        report("import (the export)", count, restored, QFileInfo(exported).size());
        if (!imported.ok || !exporting.ok || !restored.ok)
            return 1;

        // task import holds everything it imports (about 1.6 GB at 100,000 tasks), so it is
        // compared where the target is set.
        if (task.isEmpty() || count > taskCompared)
            continue;
        const QString taskData = folder.filePath(QStringLiteral("task"));
        QDir().mkpath(taskData);
        QFile rc(folder.filePath(QStringLiteral("taskrc")));
        if (!rc.open(QIODevice::WriteOnly))
            return 1;
        rc.write("data.location=" + QFile::encodeName(taskData) +
                 "\nconfirmation=off\nverbose=nothing\nhooks=off\n");
        rc.close();
        const Figures theirImport = measure(
            {task, QStringLiteral("import"), theirs},
            {QStringLiteral("TASKRC=") + rc.fileName(), QStringLiteral("TASKDATA=") + taskData});
        report("task import", count, theirImport, QFileInfo(theirs).size());
        if (theirImport.ok && theirImport.seconds > 0 && theirImport.cpuSeconds > 0)
            std::printf("import against task import, time: %.2f (the export), %.2f (generated); "
                        "cpu: %.2f, %.2f\n",
                        restored.seconds / theirImport.seconds,
                        imported.seconds / theirImport.seconds,
                        restored.cpuSeconds / theirImport.cpuSeconds,
                        imported.cpuSeconds / theirImport.cpuSeconds);
    }
    return 0;
}
