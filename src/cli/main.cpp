#include "run.h"

#include <QCoreApplication>

#include <cstdio>

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QB_VERSION));
    return qb::cli::run(QCoreApplication::arguments());
}
