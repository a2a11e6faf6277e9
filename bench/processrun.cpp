#include "processrun.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace qb::bench {

Figures measure(const QStringList &command, const QStringList &environment,
                const QString &outputPath) {
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

} // namespace qb::bench
