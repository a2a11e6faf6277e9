#include "run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace {

using namespace qb::cli;

// The program that runs the sync commands: beside this one in the build, in the library
// folder once installed (with the app's package).
QString syncProgram() {
    const QDir here(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path());
    for (const QString &candidate :
         {QStringLiteral("quillbrook-cli-sync"), QStringLiteral(QB_SYNC_PROGRAM_FROM_BINDIR)}) {
        const QFileInfo program(here.filePath(candidate));
        if (program.isFile() && program.isExecutable())
            return program.canonicalFilePath();
    }
    return {};
}

// Sync needs Qt Network, libical and the keyring, which every other command does without: it
// runs in a program of its own, which takes this process over with the same arguments.
Reply handOverToSyncProgram(const Request &request) {
    const QString program = syncProgram();
    if (program.isEmpty())
        return CliError{ExitStatus::Sync,
                        QStringLiteral("syncing needs quillbrook-cli-sync, which comes with the "
                                       "quillbrook package")};
    QList<QByteArray> words{QFile::encodeName(program)};
    const QStringList &arguments = request.processArguments;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        words.append(arguments[i].toUtf8());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(argv[0], argv.data());
    return CliError{ExitStatus::Sync,
                    QStringLiteral("cannot start %1: %2")
                        .arg(program, QString::fromLocal8Bit(std::strerror(errno)))};
}

} // namespace

int main(int argc, char *argv[]) {
    runProcess(argc, argv, {handOverToSyncProgram, false}, EventLoop::Unused);
}
