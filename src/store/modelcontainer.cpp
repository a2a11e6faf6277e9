#include "store/modelcontainer.h"

#include "base/filedescriptor.h"
#include "base/privatefile.h"
#include "schema.h"
#include "sqlite.h"
#include "store/modelcontext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

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

using Connection = Result<std::unique_ptr<sql::Database>>;

// A connection for the main context, to a store prepared for it.
Connection connectTo(const QString &path) {
    auto connection = openConnection(path);
    if (!connection)
        return connection;
    if (auto status = schema::prepare(*connection.value()); !status) {
        connection.value()->keepLogOnClose();
        return StoreError{status.message()};
    }
    return connection;
}

// "Name (recovered).store", "Name (recovered 2).store" and on: a name beside `path` that
// nothing has yet.
QString recoveryPath(const QString &path) {
    const QFileInfo file(path);
    for (int n = 1;; ++n) {
        const QString mark =
            n == 1 ? QStringLiteral(" (recovered)") : QStringLiteral(" (recovered %1)").arg(n);
        const QFileInfo candidate(
            file.dir().filePath(file.completeBaseName() + mark + QLatin1Char('.') + file.suffix()));
        if (!candidate.exists() && !candidate.isSymLink())
            return candidate.filePath();
    }
}

// Flushes `path` and the folder entry that names it to the disk.
Status syncToDisk(const QString &path) {
    for (const QString &target : {path, QFileInfo(path).absolutePath()}) {
        const FileDescriptor file(
            ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC));
        if (!file.isOpen() || ::fsync(file.get()) != 0)
            return Status::failure(QStringLiteral("Cannot write %1 to the disk: %2")
                                       .arg(target, QString::fromLocal8Bit(strerror(errno))));
    }
    return Status::success();
}

// A store at `path`, which must be an empty file made for it, with what `context` reads.
Connection copyInto(ModelContext &context, const QString &path) {
    if (const Status copied = context.copyStoreTo(path); !copied)
        return StoreError{copied.message()};
    // Whether VACUUM INTO syncs its output depends on the SQLite version; the store is about to
    // live in this copy alone.
    if (const Status synced = syncToDisk(path); !synced)
        return StoreError{synced.message()};
    return connectTo(path);
}

void removeStore(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

QString where(const QString &path) {
    return QDir::toNativeSeparators(path);
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
    // does not copy its log into it either. A store as this build leaves it skips that second
    // connection, about a seventh of a whole client add: the writing connection
    // refuses it, before writing, if it is not one after all, and the check then says why.
    const bool trusted = schema::headerShowsCurrentStore(path);
    if (!trusted) {
        if (auto status = schema::checkStoreFile(path); !status)
            return StoreError{status.message()};
    }

    auto connection = connectTo(path);
    if (!connection) {
        if (auto status = trusted ? schema::checkStoreFile(path) : Status::success(); !status)
            return StoreError{status.message()};
        return StoreError{connection.message()};
    }

    std::unique_ptr<ModelContainer> container(new ModelContainer(configuration));
    container->m_mainContext =
        std::make_unique<ModelContext>(std::move(connection.value()), configuration.searchLocaleId);
    ModelContext &context = *container->m_mainContext;
    QObject::connect(&context, &ModelContext::fileMoved, &context,
                     [owner = container.get()] { owner->followMovedFile(); });
    return container;
}

void ModelContainer::followMovedFile() {
    ModelContext &context = *m_mainContext;
    const QString &path = m_configuration.path;
    const QString folder = QFileInfo(path).absolutePath();
    // The folder may have gone with the file.
    if (!QFileInfo::exists(folder))
        (void)makePrivateFolder(folder);

    // The open file may be unlinked: this connection is the only way left to what it holds, so
    // that is copied out first, into a recovery file beside the path.
    const QString recovery = recoveryPath(path);
    const QString problem = makePrivateFile(recovery);
    auto standby =
        problem.isEmpty() ? copyInto(context, recovery) : Connection(StoreError{problem});
    // The log and index files at the path are still this file's: SQLite keeps them when it
    // closes a moved file, and whatever is at the path now would take their pages for its own.
    // An empty log holds no pages (and a stale index is rebuilt by the next to open it).
    if (standby) {
        if (const Status emptied = context.emptyLog(); !emptied)
            standby = StoreError{emptied.message()};
    }
    if (!standby) {
        removeStore(recovery);
        if (!std::exchange(m_moveProblemTold, true)) {
            context.announceFileProblem(
                QStringLiteral("The store file at %1 was deleted or replaced, and Quill Brook "
                               "could not copy your to-dos out of the file it has open (%2). "
                               "Keep Quill Brook open; it tries again.")
                    .arg(where(path), standby.message()));
        }
        return;
    }
    m_moveProblemTold = false;
    context.adoptConnection(std::move(standby.value()));
    context.announceReopened(reopenAtPath(recovery));
}

QString ModelContainer::reopenAtPath(const QString &recovery) {
    ModelContext &context = *m_mainContext;
    const QString path = m_configuration.path;
    const QFileInfo now(path);
    if (!now.exists() && !now.isSymLink()) {
        bool created = false;
        const QString problem = makePrivateFile(path, &created);
        auto written = created ? copyInto(context, path) : Connection(StoreError{problem});
        if (written) {
            context.adoptConnection(std::move(written.value()));
            removeStore(recovery);
            return QStringLiteral("The store file was deleted while Quill Brook was open. It was "
                                  "written again at %1, with all your to-dos.")
                .arg(where(path));
        }
        if (created)
            removeStore(path);
        // Unless something else made a file there meanwhile, taken below for a replacement.
        if (created || !problem.isEmpty())
            return stayInRecovery(recovery, QStringLiteral("The store file at %1 was deleted while "
                                                           "Quill Brook was open and could not be "
                                                           "written again there (%2).")
                                                .arg(where(path), written.message()));
    }
    if (!schema::checkStoreFile(path))
        return stayInRecovery(recovery, QStringLiteral("The store file at %1 was replaced by a "
                                                       "file that is not a Quill Brook store, "
                                                       "which was left untouched.")
                                            .arg(where(path)));
    auto replacement = connectTo(path);
    const Result<int> copied = replacement
                                   ? schema::copyMissingTodos(*replacement.value(), recovery)
                                   : Result<int>(StoreError{replacement.message()});
    if (!copied)
        return stayInRecovery(recovery, QStringLiteral("The store file at %1 was replaced by "
                                                       "another store, which could not be opened "
                                                       "(%2).")
                                            .arg(where(path), copied.message()));
    context.adoptConnection(std::move(replacement.value()));
    removeStore(recovery);
    const QString added =
        copied.value() == 0 ? QStringLiteral("It already had every to-do of the previous file.")
        : copied.value() == 1
            ? QStringLiteral("The one to-do only the previous file had was added to it.")
            : QStringLiteral("The %1 to-dos only the previous file had were added to it.")
                  .arg(copied.value());
    return QStringLiteral("The store file at %1 was replaced by another store, which Quill Brook "
                          "uses from now on. %2")
        .arg(where(path), added);
}

QString ModelContainer::stayInRecovery(const QString &recovery, const QString &what) {
    m_configuration.path = recovery;
    return what + QStringLiteral(" Your to-dos are now kept in %1.").arg(where(recovery));
}

Result<std::unique_ptr<ModelContext>> ModelContainer::newContext() {
    auto connection = openConnection(m_configuration.path);
    if (!connection)
        return StoreError{connection.message()};
    return std::make_unique<ModelContext>(std::move(connection.value()),
                                          m_configuration.searchLocaleId);
}

} // namespace qb
