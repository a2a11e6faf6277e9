#include "store/modelcontainer.h"

#include "schema.h"
#include "sqlite.h"
#include "store/modelcontext.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace qb {

namespace {

// The store is private data: a new file is readable by its owner only.
Status createPrivateFile(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return Status::success();
        return Status::failure(QStringLiteral("Cannot create %1: %2")
                                   .arg(path, QString::fromLocal8Bit(strerror(errno))));
    }
    ::close(fd);
    return Status::success();
}

Result<std::unique_ptr<sql::Database>> openConnection(const QString &path) {
    auto db = sql::Database::open(path);
    if (!db)
        return StoreError{db.message()};
    auto &connection = *db.value();
    // A page cache of up to 16 MiB (SQLite's default is 2) keeps the upper index pages of a
    // large store at hand, so a save does not read them from the file again each time.
    for (const char *pragma :
         {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = FULL", "PRAGMA cache_size = -16384"}) {
        if (auto status = connection.exec(QString::fromLatin1(pragma)); !status)
            return StoreError{status.message()};
    }
    return std::move(db.value());
}

} // namespace

ModelContainer::ModelContainer(Configuration configuration)
    : m_configuration(std::move(configuration)) {}

ModelContainer::~ModelContainer() = default;

Result<std::unique_ptr<ModelContainer>> ModelContainer::open(const Configuration &configuration) {
    const QString &path = configuration.path;
    if (QFileInfo(path).isDir())
        return StoreError{QStringLiteral("%1 is a folder, not a store file").arg(path)};
    if (!QFileInfo::exists(path)) {
        if (auto status = createPrivateFile(path); !status)
            return StoreError{status.message()};
    }
    // Nothing below writes to a file that fails these checks.
    if (auto status = schema::checkFileHeader(path); !status)
        return StoreError{status.message()};

    auto connection = openConnection(path);
    if (!connection)
        return StoreError{connection.message()};
    if (auto status = schema::prepare(*connection.value()); !status)
        return StoreError{status.message()};
    // WAL lets the command-line client and a second app instance write while we read.
    if (auto status = connection.value()->exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        !status)
        return StoreError{status.message()};

    std::unique_ptr<ModelContainer> container(new ModelContainer(configuration));
    container->m_mainContext =
        std::make_unique<ModelContext>(std::move(connection.value()), configuration.searchLocaleId);
    return container;
}

Result<std::unique_ptr<ModelContext>> ModelContainer::newContext() {
    auto connection = openConnection(m_configuration.path);
    if (!connection)
        return StoreError{connection.message()};
    return std::make_unique<ModelContext>(std::move(connection.value()),
                                          m_configuration.searchLocaleId);
}

} // namespace qb
