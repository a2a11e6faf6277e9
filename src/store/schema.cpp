#include "schema.h"

#include "sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

namespace qb::schema {

namespace {

constexpr qint64 walHeaderSize = 32;

const char *const createStatements[] = {
    R"(CREATE TABLE store_metadata (
        key TEXT PRIMARY KEY NOT NULL,
        value TEXT NOT NULL))",
    R"(CREATE TABLE todo_item (
        pk INTEGER PRIMARY KEY,
        id TEXT NOT NULL,
        title TEXT NOT NULL DEFAULT '',
        notes TEXT NOT NULL DEFAULT '',
        is_completed INTEGER NOT NULL DEFAULT 0,
        completed_at INTEGER,
        scheduled_date INTEGER,
        list_raw TEXT NOT NULL DEFAULT 'today',
        sort_order REAL NOT NULL DEFAULT 0,
        created_at INTEGER NOT NULL,
        recurrence_rule_raw TEXT))",
    R"(CREATE TABLE change_entry (
        pk INTEGER PRIMARY KEY,
        id TEXT NOT NULL,
        timestamp INTEGER NOT NULL,
        kind_raw TEXT NOT NULL DEFAULT 'created',
        detail TEXT,
        item_pk INTEGER REFERENCES todo_item(pk) ON DELETE CASCADE,
        position INTEGER NOT NULL DEFAULT 0))",
    R"(CREATE TABLE subtask (
        pk INTEGER PRIMARY KEY,
        id TEXT NOT NULL,
        title TEXT NOT NULL DEFAULT '',
        is_completed INTEGER NOT NULL DEFAULT 0,
        sort_order REAL NOT NULL DEFAULT 0,
        created_at INTEGER NOT NULL,
        parent_pk INTEGER REFERENCES todo_item(pk) ON DELETE CASCADE,
        position INTEGER NOT NULL DEFAULT 0))",
    // Open lists by date and manual order; counts of Today and Later read only this index.
    "CREATE INDEX todo_open_by_date ON todo_item(is_completed, scheduled_date, sort_order)",
    "CREATE INDEX todo_by_completion ON todo_item(is_completed, completed_at)",
    "CREATE INDEX todo_by_id ON todo_item(id)",
    // A collection keeps the order its members were added in: position counts up per owner.
    "CREATE INDEX subtask_by_parent ON subtask(parent_pk, position)",
    "CREATE INDEX change_by_item ON change_entry(item_pk, position)",
};

// Index changes made after stores of this schema were in use, run on every open (new stores
// included, so each index is defined once). An index changes no data, so older builds read
// such a store as before.
const char *const indexUpdates[] = {
    // Nothing reads to-dos in creation order alone any more, and every index costs each save
    // a page.
    "DROP INDEX IF EXISTS todo_by_creation",
    // Open (or done) to-dos from the largest sort order down, with the day that puts each in a
    // list: a list's largest sort order is the first entry of that list met on the way.
    "CREATE INDEX IF NOT EXISTS todo_open_by_sort_order ON todo_item(is_completed, sort_order, "
    "scheduled_date)",
    "DROP INDEX IF EXISTS todo_by_sort_order",
    // Search results in their own order, with the searched texts at hand: a search reads this
    // index instead of the table, stops after a page of matches, and looks up the table only
    // for the rows it returns.
    "CREATE INDEX IF NOT EXISTS todo_search ON todo_item(is_completed, created_at DESC, pk, "
    "title, notes)",
};

// The sync bookkeeping, added after stores of this schema were in use and created on every
// open like the indexes above: older builds never read these tables, and the triggers that fill
// the queue while the store is bound are plain SQL, so edits made by an older build are queued
// too.
const char *const syncTables[] = {
    // The collection the store is bound to ("collection"), its sync token and the last outcome.
    R"(CREATE TABLE IF NOT EXISTS sync_meta (
        key TEXT PRIMARY KEY NOT NULL,
        value TEXT NOT NULL))",
    // Per record: the server's resource, its entity tag and the text both sides last agreed on.
    R"(CREATE TABLE IF NOT EXISTS sync_resource (
        record_id TEXT PRIMARY KEY NOT NULL,
        uid TEXT NOT NULL,
        href TEXT NOT NULL,
        etag TEXT NOT NULL DEFAULT '',
        base TEXT NOT NULL))",
    "CREATE INDEX IF NOT EXISTS sync_resource_by_href ON sync_resource(href)",
    // Records changed here and not yet sent: filled by the triggers below while the store is
    // bound, so every writer (the app, the command-line client, another build) queues its edits.
    R"(CREATE TABLE IF NOT EXISTS sync_pending (
        record_id TEXT PRIMARY KEY NOT NULL,
        changed_at INTEGER NOT NULL,
        seq INTEGER NOT NULL))",
};

// One trigger per table and statement kind: `recordId` is the queued id as an expression over
// NEW or OLD, `source` the rows it is read from (empty when it needs none).
struct QueueTrigger {
    QString table;
    QString event;
    QString recordId;
    QString source;

    QString name() const { return QStringLiteral("sync_queue_%1_%2").arg(table, event.toLower()); }
    QString creation() const {
        return QStringLiteral(
                   "CREATE TRIGGER IF NOT EXISTS %1 AFTER %2 ON %3 "
                   "WHEN EXISTS (SELECT 1 FROM sync_meta WHERE key = 'collection') BEGIN "
                   "INSERT OR REPLACE INTO sync_pending(record_id, changed_at, seq) SELECT %4, "
                   "CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER), "
                   "(SELECT coalesce(max(seq), 0) + 1 FROM sync_pending)%5; END")
            .arg(name(), event, table, recordId, source);
    }
};

QList<QueueTrigger> queueTriggers() {
    QList<QueueTrigger> triggers;
    for (const QString &table : {QStringLiteral("todo_item"), QStringLiteral("subtask")}) {
        triggers.append({table, QStringLiteral("INSERT"), QStringLiteral("NEW.id"), {}});
        triggers.append({table, QStringLiteral("UPDATE"), QStringLiteral("NEW.id"), {}});
        triggers.append({table, QStringLiteral("DELETE"), QStringLiteral("OLD.id"), {}});
    }
    // A change-log line travels with its to-do.
    for (const auto &[event, row] : {std::pair{QStringLiteral("INSERT"), QStringLiteral("NEW")},
                                     std::pair{QStringLiteral("DELETE"), QStringLiteral("OLD")}}) {
        triggers.append({QStringLiteral("change_entry"), event, QStringLiteral("id"),
                         QStringLiteral(" FROM todo_item WHERE pk = %1.item_pk").arg(row)});
    }
    return triggers;
}

Result<qint64> readInteger(sql::Database &db, const QString &query);

// Which of the updates above a store has had, kept in the file header's user version: with
// every one of them in place, opening reads one number instead of running each statement
// again, parsing it and taking the write lock for it. Raise it whenever the lists change.
// 2: the queue triggers exist only while the store is bound.
constexpr qint64 layoutVersion = 2;

Status upgrade(sql::Database &db) {
    if (const auto layout = readInteger(db, QStringLiteral("PRAGMA user_version"));
        layout && layout.value() >= layoutVersion)
        return Status::success();
    for (const char *statement : indexUpdates) {
        if (auto status = db.exec(QString::fromUtf8(statement)); !status)
            return status;
    }
    for (const char *statement : syncTables) {
        if (auto status = db.exec(QString::fromUtf8(statement)); !status)
            return status;
    }
    const auto bound =
        readInteger(db, QStringLiteral("SELECT count(*) FROM sync_meta WHERE key = 'collection'"));
    if (!bound)
        return Status::failure(bound.message());
    if (auto status = setSyncQueueTriggers(db, bound.value() > 0); !status)
        return status;
    if (auto status = db.exec(QStringLiteral("PRAGMA user_version = %1").arg(layoutVersion));
        !status)
        return status;
    // Copied into the file at once, so that the next opener finds the layout in the file's
    // header and skips the full check, even while a closing client leaves its log uncopied.
    // A reader elsewhere may hold the copy back: the log's next copy then brings it.
    (void)db.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return Status::success();
}

Result<qint64> readInteger(sql::Database &db, const QString &query) {
    auto statement = db.prepare(query);
    if (!statement)
        return StoreError{statement.message()};
    if (statement.value().step() != sql::Statement::Step::Row)
        return StoreError{db.lastError()};
    return statement.value().integer(0);
}

Result<qint64> tableCount(sql::Database &db) {
    return readInteger(db, QStringLiteral("SELECT count(*) FROM sqlite_schema"));
}

Status create(sql::Database &db) {
    if (auto status = db.exec(QStringLiteral("BEGIN IMMEDIATE")); !status)
        return status;
    // Counted again under the write lock: another process may have created the tables since.
    const auto tables = tableCount(db);
    if (!tables || tables.value() > 0) {
        db.exec(QStringLiteral("ROLLBACK"));
        return tables ? Status::success() : Status::failure(tables.message());
    }
    for (const char *statement : createStatements) {
        if (auto status = db.exec(QString::fromUtf8(statement)); !status) {
            db.exec(QStringLiteral("ROLLBACK"));
            return status;
        }
    }
    auto insert = db.prepare(
        QStringLiteral("INSERT INTO store_metadata(key, value) VALUES ('schemaVersion', ?)"));
    if (!insert) {
        db.exec(QStringLiteral("ROLLBACK"));
        return Status::failure(insert.message());
    }
    insert.value().bind(1, QString::fromLatin1(version));
    if (auto status = insert.value().run(); !status) {
        db.exec(QStringLiteral("ROLLBACK"));
        return status;
    }
    return db.exec(QStringLiteral("COMMIT"));
}

// The first line of quick_check's report: "ok" for a sound file.
Result<QString> quickCheck(sql::Database &db) {
    auto statement = db.prepare(QStringLiteral("PRAGMA quick_check(1)"));
    if (!statement)
        return StoreError{statement.message()};
    if (statement.value().step() != sql::Statement::Step::Row)
        return StoreError{db.lastError()};
    return statement.value().text(0);
}

// Why a file cannot be read as a store, from SQLite's own error.
QString unreadable(const sql::Database &db) {
    switch (db.lastErrorCode() & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("The file is not a Quill Brook store (%1)").arg(db.lastError());
    case SQLITE_CORRUPT:
        return QStringLiteral("The store file is damaged (%1)").arg(db.lastError());
    default:
        return QStringLiteral("The store file cannot be read (%1)").arg(db.lastError());
    }
}

// Why a database with tables is not a store this build can open, or an empty string.
QString versionProblem(sql::Database &db) {
    auto read =
        db.prepare(QStringLiteral("SELECT value FROM store_metadata WHERE key = 'schemaVersion'"));
    if (!read)
        return QStringLiteral("The file is not a Quill Brook store (%1)").arg(read.message());
    switch (read.value().step()) {
    case sql::Statement::Step::Row:
        break;
    case sql::Statement::Step::Done:
        return QStringLiteral("The store has no schema version");
    case sql::Statement::Step::Error:
        return unreadable(db);
    }
    const QString found = read.value().text(0);
    if (compareVersions(found, QString::fromLatin1(version)) > 0)
        return QStringLiteral("The store was written by a newer version (schema %1; this build "
                              "reads %2)")
            .arg(found, QString::fromLatin1(version));
    return {};
}

// What is wrong with a file SQLite opened read-only, or an empty string.
QString problemWith(sql::Database &db, const QFileInfo &file) {
    const auto tables = tableCount(db);
    if (!tables)
        return unreadable(db);
    if (tables.value() == 0)
        return {}; // a new store
    // SQLite itself refuses a file shorter than its header says unless the log holds the rest,
    // but not one cut inside its last page. Such a file is sound only while its log holds that
    // page, as after a power cut in the middle of copying it there.
    const auto pageSize = readInteger(db, QStringLiteral("PRAGMA page_size"));
    if (!pageSize)
        return unreadable(db);
    if (file.size() % pageSize.value() != 0) {
        if (QFileInfo(file.absoluteFilePath() + QStringLiteral("-wal")).size() <= walHeaderSize)
            return QStringLiteral("The store file is damaged (it ends inside a page)");
        const auto check = quickCheck(db);
        if (!check)
            return unreadable(db);
        if (check.value() != u"ok")
            return QStringLiteral("The store file is damaged (%1)").arg(check.value());
    }

    return versionProblem(db);
}

} // namespace

int compareVersions(const QString &a, const QString &b) {
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qlonglong l = i < left.size() ? left[i].toLongLong() : 0;
        const qlonglong r = i < right.size() ? right[i].toLongLong() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

bool headerShowsCurrentStore(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayView("SQLite format 3", 16)))
        return false;
    const auto byte = [&header](int at) { return quint32(quint8(header[at])); };
    const auto bigEndian = [&byte](int at) {
        return byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    };
    const quint32 pageField = byte(16) << 8 | byte(17);
    const qint64 pageSize = pageField == 1 ? 65536 : pageField; // 65536 does not fit the field
    constexpr quint32 walMode = 2;
    return pageSize >= 512 && (pageSize & (pageSize - 1)) == 0 && file.size() % pageSize == 0 &&
           byte(18) == walMode && byte(19) == walMode && bigEndian(60) == layoutVersion &&
           !QFileInfo::exists(path + QStringLiteral("-journal"));
}

Status checkStoreFile(const QString &path) {
    const QFileInfo file(path);
    // Even an empty file is read: a log beside it may hold its pages, all of them or not.
    auto db = sql::Database::open(path, sql::Database::Access::ReadOnly);
    const QString problem =
        db ? problemWith(*db.value(), file)
           : QStringLiteral("The store file cannot be read (%1)").arg(db.message());
    if (problem.isEmpty())
        return Status::success();
    return Status::failure(QStringLiteral("%1: %2. The file was left untouched.")
                               .arg(problem, QDir::toNativeSeparators(file.absoluteFilePath())));
}

Result<int> copyMissingTodos(sql::Database &db, const QString &otherPath) {
    auto attach = db.prepare(QStringLiteral("ATTACH ? AS other"));
    if (!attach)
        return StoreError{attach.message()};
    attach.value().bind(1, otherPath);
    if (auto status = attach.value().run(); !status)
        return StoreError{status.message()};

    // Row keys come along: rows that pending changes refer to keep them.
    const char *const copies[] = {
        "CREATE TEMP TABLE copied(pk INTEGER PRIMARY KEY)",
        "INSERT INTO copied SELECT pk FROM other.todo_item WHERE id NOT IN (SELECT id FROM "
        "main.todo_item) AND pk NOT IN (SELECT pk FROM main.todo_item)",
        "INSERT INTO main.todo_item(pk, id, title, notes, is_completed, completed_at, "
        "scheduled_date, list_raw, sort_order, created_at, recurrence_rule_raw) SELECT pk, id, "
        "title, notes, is_completed, completed_at, scheduled_date, list_raw, sort_order, "
        "created_at, recurrence_rule_raw FROM other.todo_item WHERE pk IN copied",
        "INSERT OR IGNORE INTO main.subtask(pk, id, title, is_completed, sort_order, created_at, "
        "parent_pk, position) SELECT pk, id, title, is_completed, sort_order, created_at, "
        "parent_pk, position FROM other.subtask WHERE parent_pk IN copied",
        "INSERT OR IGNORE INTO main.change_entry(pk, id, timestamp, kind_raw, detail, item_pk, "
        "position) SELECT pk, id, timestamp, kind_raw, detail, item_pk, position FROM "
        "other.change_entry WHERE item_pk IN copied",
    };
    Result<int> copied = StoreError{};
    Status status = db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    for (const char *statement : copies) {
        if (status)
            status = db.exec(QString::fromUtf8(statement));
    }
    if (status) {
        const auto count = readInteger(db, QStringLiteral("SELECT count(*) FROM copied"));
        copied = count ? Result<int>(int(count.value())) : StoreError{count.message()};
        status = count ? db.exec(QStringLiteral("COMMIT")) : Status::failure(count.message());
    }
    if (!status) {
        db.exec(QStringLiteral("ROLLBACK"));
        copied = StoreError{status.message()};
    }
    db.exec(QStringLiteral("DROP TABLE IF EXISTS temp.copied"));
    db.exec(QStringLiteral("DETACH other"));
    return copied;
}

Status setSyncQueueTriggers(sql::Database &db, bool bound) {
    for (const QueueTrigger &trigger : queueTriggers()) {
        const QString statement =
            bound ? trigger.creation()
                  : QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(trigger.name());
        if (auto status = db.exec(statement); !status)
            return status;
    }
    return Status::success();
}

Status prepare(sql::Database &db) {
    const auto tables = tableCount(db);
    if (!tables)
        return Status::failure(tables.message());
    // Asked again on this connection before it writes anything: the file at the path may have
    // been replaced since it was checked.
    if (tables.value() > 0) {
        if (const QString problem = versionProblem(db); !problem.isEmpty())
            return Status::failure(problem);
    }
    // WAL lets the command-line client and a second app instance write while we read. Set before
    // a new store's tables are created, so they go through the log like every later change. On a
    // new file the switch is a write begun inside a read, which two programs opening the file at
    // once would otherwise see fail at once as "database is locked".
    if (auto status = db.execWhenFree(QStringLiteral("PRAGMA journal_mode = WAL")); !status)
        return status;
    if (tables.value() == 0) {
        if (auto status = create(db); !status)
            return status;
    }
    return upgrade(db);
}

} // namespace qb::schema
