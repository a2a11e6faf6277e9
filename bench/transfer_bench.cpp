// Whole-process figures of the client's import and export: wall time and peak memory (the
// largest resident set of the process) at 100,000 and 1,000,000 to-dos shaped like a store used
// for years, and, in the same run on the same machine, `task import` of the same number of tasks
// carrying the same texts (Debian's taskwarrior; skipped with a message when `task` is missing).
//
//     transfer_bench [--sizes 100000,1000000] [--folder DIR]
//
// For each size: a generated file is imported into an empty store, that store is exported, and
// the export is imported into a second empty store (a backup restored, the figure to compare).

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int taskCompared = 100000;

struct Figures {
    bool ok = false;
    double seconds = 0;    // wall time
    double cpuSeconds = 0; // user and system time: what other work on the machine changes least
    long peakKiB = 0;
};

// Runs a program with its standard output in `outputPath` (or /dev/null) and measures it.
Figures measure(const QStringList &command, const QStringList &environment,
                const QString &outputPath = QStringLiteral("/dev/null")) {
    QList<QByteArray> storage;
    std::vector<char *> argv;
    for (const QString &word : command)
        storage.append(QFile::encodeName(word));
    for (QByteArray &word : storage)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QList<QByteArray> envStorage;
    std::vector<char *> envp;
    for (char **variable = environ; *variable; ++variable)
        envStorage.append(QByteArray(*variable));
    for (const QString &setting : environment)
        envStorage.append(setting.toLocal8Bit());
    for (QByteArray &setting : envStorage)
        envp.push_back(setting.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(outputPath);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        return {};
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    Figures figures;
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.peakKiB = usage.ru_maxrss;
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    figures.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!figures.ok)
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
    return figures;
}

const char *const words[] = {"Call",    "the dentist", "Email",   "groceries", "Book",
                             "the car", "Review",      "report",  "Renew",     "passport",
                             "Plan",    "the trip",    "Water",   "plants",    "Order",
                             "invoice", "Fix",         "shelves", "Pack",      "winter coats"};
const char *const kinds[] = {"created",   "titleEdited", "notesEdited", "scheduled",
                             "completed", "reopened",    "repeatSet"};

// The same records for both programs, drawn from one seed.
struct Record {
    QString title, notes;
    bool completed = false;
    qint64 created = 0, done = 0, scheduled = 0; // Unix seconds; 0: none
    QStringList subtasks, changes;
};

class Generator {
public:
    explicit Generator(quint32 seed)
        : m_random(seed) {}

    Record next() {
        Record record;
        record.title = phrase(2 + int(m_random() % 4));
        if (m_random() % 3 == 0)
            record.notes = phrase(6 + int(m_random() % 20));
        record.created = 1600000000 + qint64(m_random() % (5 * 365 * 86400));
        record.completed = m_random() % 20 != 0;
        if (record.completed)
            record.done = record.created + qint64(m_random() % (30 * 86400));
        if (m_random() % 2 == 0)
            record.scheduled = record.created / 86400 * 86400 + 86400 * qint64(m_random() % 30);
        for (int i = int(m_random() % 7); i > 0; --i)
            record.subtasks.append(phrase(2 + int(m_random() % 3)));
        for (int i = 1 + int(m_random() % 9); i > 0; --i)
            record.changes.append(phrase(1 + int(m_random() % 4)));
        return record;
    }
    const char *kind() { return kinds[m_random() % std::size(kinds)]; }

private:
    QString phrase(int count) {
        QStringList parts;
        for (int i = 0; i < count; ++i)
            parts.append(QString::fromLatin1(words[m_random() % std::size(words)]));
        return parts.join(u' ');
    }
    std::mt19937 m_random;
};

QByteArray iso(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"))
        .toLatin1();
}

QByteArray taskTime(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
        .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"))
        .toLatin1();
}

QByteArray quoted(const QString &text) {
    return '"' + text.toUtf8() + '"'; // the generated words need no escapes
}

QByteArray uuid() {
    return '"' + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '"';
}

// An import file for the client and one for `task import`, with the same records.
bool writeFiles(int count, const QString &ours, const QString &theirs) {
    QFile mine(ours), task(theirs);
    if (!mine.open(QIODevice::WriteOnly) || !task.open(QIODevice::WriteOnly))
        return false;
    Generator generator(1);
    mine.write("{\"formatVersion\": 1, \"todos\": [\n");
    task.write("[\n");
    for (int i = 0; i < count; ++i) {
        const Record r = generator.next();
        QByteArray todo =
            (i > 0 ? ",\n" : "") + QByteArray("{\"id\": ") + uuid() +
            ", \"title\": " + quoted(r.title) + ", \"notes\": " + quoted(r.notes) +
            ", \"isCompleted\": " + (r.completed ? "true" : "false") +
            ", \"completedAt\": " + (r.done ? '"' + iso(r.done) + '"' : "null") +
            ", \"scheduledDate\": " + (r.scheduled ? '"' + iso(r.scheduled) + '"' : "null") +
            ", \"listRaw\": \"today\", \"sortOrder\": " + QByteArray::number(i) +
            ", \"createdAt\": \"" + iso(r.created) +
            "\", \"recurrenceRuleRaw\": null, \"subtasks\": [";
        QByteArray annotations;
        for (qsizetype s = 0; s < r.subtasks.size(); ++s) {
            todo += (s > 0 ? ", " : "") + QByteArray("{\"id\": ") + uuid() +
                    ", \"title\": " + quoted(r.subtasks[s]) +
                    ", \"isCompleted\": false, \"sortOrder\": " + QByteArray::number(s) +
                    ", \"createdAt\": \"" + iso(r.created) + "\"}";
            annotations += ", {\"entry\": \"" + taskTime(r.created + s) +
                           "\", \"description\": " + quoted(r.subtasks[s]) + "}";
        }
        todo += "], \"changes\": [";
        for (qsizetype c = 0; c < r.changes.size(); ++c) {
            todo += (c > 0 ? ", " : "") + QByteArray("{\"id\": ") + uuid() + ", \"kindRaw\": \"" +
                    generator.kind() + "\", \"detail\": " + quoted(r.changes[c]) +
                    ", \"timestamp\": \"" + iso(r.created + c) + "\"}";
            annotations += ", {\"entry\": \"" + taskTime(r.created + 100 + c) +
                           "\", \"description\": " + quoted(r.changes[c]) + "}";
        }
        todo += "]}";
        if (!r.notes.isEmpty())
            annotations += ", {\"entry\": \"" + taskTime(r.created + 99) +
                           "\", \"description\": " + quoted(r.notes) + "}";
        QByteArray line = (i > 0 ? ",\n" : "") + QByteArray("{\"uuid\": ") + uuid() +
                          ", \"description\": " + quoted(r.title) + ", \"status\": \"" +
                          (r.completed ? "completed" : "pending") + "\", \"entry\": \"" +
                          taskTime(r.created) + '"';
        if (r.done)
            line += ", \"end\": \"" + taskTime(r.done) + '"';
        if (r.scheduled)
            line += ", \"scheduled\": \"" + taskTime(r.scheduled) + '"';
        if (!annotations.isEmpty())
            line += ", \"annotations\": [" + annotations.mid(2) + ']';
        line += '}';
        if (mine.write(todo) < 0 || task.write(line) < 0)
            return false;
    }
    mine.write("\n]}\n");
    task.write("\n]\n");
    return mine.flush() && task.flush();
}

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
        if (!writeFiles(count, ours, theirs)) {
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
