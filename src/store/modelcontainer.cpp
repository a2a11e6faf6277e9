#include "store/modelcontainer.h"

#include "base/privatefile.h"
#include "schema.h"
#include "sqlite.h"
#include "store/modelcontext.h"

#include <QFileInfo>

namespace qb {

namespace {

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
        if (const QString error = makePrivateFile(path); !error.isEmpty())
            return StoreError{error};
    }
    // Read-only: a file that turns out not to be a sound store is never written to, and SQLite
    // does not copy its log into it either.
    if (auto status = schema::checkStoreFile(path); !status)
        return StoreError{status.message()};

    auto connection = openConnection(path);
    if (!connection)
        return StoreError{connection.message()};
    // WAL lets the command-line client and a second app instance write while we read. Set
    // first, so a new store's tables are created through the log like every later change.
    if (auto status = connection.value()->exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        !status)
        return StoreError{status.message()};
    if (auto status = schema::prepare(*connection.value()); !status)
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
