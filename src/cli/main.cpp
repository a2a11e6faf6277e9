#include "run.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[]) {
    // Arguments are text: bytes that are not UTF-8 would be stored as replacement characters,
    // so they are refused before anything is opened.
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QString::fromUtf8(bytes).toUtf8() != bytes) {
            std::fprintf(stderr, "quillbrook-cli: argument %d is not valid UTF-8 text\n", i);
            return 1;
        }
    }
    int status = 0;
    {
        QCoreApplication app(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillbrook"));
        QCoreApplication::setApplicationVersion(QStringLiteral(QB_VERSION));
        status = qb::cli::run(QCoreApplication::arguments());
    }
    // By now the store is closed, the preferences are written and both output streams were
    // flushed, with a failed flush already turned into the status. What exit() would still do
    // is tear down the libraries' static data and the memory the system takes back anyway:
    // over a millisecond of every run.
    std::fflush(nullptr);
    std::_Exit(status);
}
