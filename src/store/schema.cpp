#include "schema.h"

#include "sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace qb::schema {

namespace {

constexpr int headerSize = 100;

quint32 bigEndian32(const QByteArray &bytes, int offset) {
    return (quint32(quint8(bytes[offset])) << 24) | (quint32(quint8(bytes[offset + 1])) << 16) |
           (quint32(quint8(bytes[offset + 2])) << 8) | quint32(quint8(bytes[offset + 3]));
}

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
// the queue are plain SQL, so edits made by an older build are queued too.
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

// One trigger per table and statement kind; `recordId` is the queued id as an expression over
// NEW or OLD, `source` the rows it is read from (empty when it needs none).
QString queueTrigger(const QString &table, const QString &event, const QString &recordId,
                     const QString &source = {}) {
    return QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS sync_queue_%1_%2 AFTER %3 ON %1 "
               "WHEN EXISTS (SELECT 1 FROM sync_meta WHERE key = 'collection') BEGIN "
               "INSERT OR REPLACE INTO sync_pending(record_id, changed_at, seq) SELECT %4, "
               "CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER), "
               "(SELECT coalesce(max(seq), 0) + 1 FROM sync_pending)%5; END")
        .arg(table, event.toLower(), event, recordId, source);
}

QStringList queueTriggers() {
    QStringList triggers;
    for (const QString &table : {QStringLiteral("todo_item"), QStringLiteral("subtask")}) {
        triggers << queueTrigger(table, QStringLiteral("INSERT"), QStringLiteral("NEW.id"))
                 << queueTrigger(table, QStringLiteral("UPDATE"), QStringLiteral("NEW.id"))
                 << queueTrigger(table, QStringLiteral("DELETE"), QStringLiteral("OLD.id"));
    }
    // A change-log line travels with its to-do.
    for (const auto &[event, row] : {std::pair{QStringLiteral("INSERT"), QStringLiteral("NEW")},
                                     std::pair{QStringLiteral("DELETE"), QStringLiteral("OLD")}}) {
        triggers << queueTrigger(QStringLiteral("change_entry"), event, QStringLiteral("id"),
                                 QStringLiteral(" FROM todo_item WHERE pk = %1.item_pk").arg(row));
    }
    return triggers;
}

Status upgrade(sql::Database &db) {
    for (const char *statement : indexUpdates) {
        if (auto status = db.exec(QString::fromUtf8(statement)); !status)
            return status;
    }
    for (const char *statement : syncTables) {
        if (auto status = db.exec(QString::fromUtf8(statement)); !status)
            return status;
    }
    for (const QString &statement : queueTriggers()) {
        if (auto status = db.exec(statement); !status)
            return status;
    }
    return Status::success();
}

Result<int> tableCount(sql::Database &db) {
    auto statement = db.prepare(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    if (!statement)
        return StoreError{statement.message()};
    if (statement.value().step() != sql::Statement::Step::Row)
        return StoreError{db.lastError()};
    return static_cast<int>(statement.value().integer(0));
}

Status create(sql::Database &db) {
    if (auto status = db.exec(QStringLiteral("BEGIN IMMEDIATE")); !status)
        return status;
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

Status checkFileHeader(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size == 0)
        return Status::success(); // a new, empty store
    const QByteArray header = file.read(headerSize);
    if (header.size() < headerSize || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return Status::failure(QStringLiteral("The file is not a store: %1").arg(path));

    quint32 pageSize = (quint32(quint8(header[16])) << 8) | quint32(quint8(header[17]));
    if (pageSize == 1)
        pageSize = 65536;
    const bool pageSizeValid = pageSize >= 512 && (pageSize & (pageSize - 1)) == 0;
    if (!pageSizeValid || size % pageSize != 0)
        return Status::failure(QStringLiteral("The store file is damaged: %1").arg(path));
    // The page count in the header is trustworthy only when its "valid for" counter matches
    // the change counter.
    const quint32 changeCounter = bigEndian32(header, 24);
    const quint32 pageCount = bigEndian32(header, 28);
    const quint32 validFor = bigEndian32(header, 92);
    if (validFor == changeCounter && qint64(pageCount) * pageSize > size)
        return Status::failure(QStringLiteral("The store file is truncated: %1").arg(path));
    return Status::success();
}

Status prepare(sql::Database &db) {
    const auto tables = tableCount(db);
    if (!tables)
        return Status::failure(tables.message());
    if (tables.value() == 0) {
        if (auto status = create(db); !status)
            return status;
        return upgrade(db);
    }

    QString found;
    {
        // Scoped: a statement still open would keep the index updates from dropping anything.
        auto read = db.prepare(
            QStringLiteral("SELECT value FROM store_metadata WHERE key = 'schemaVersion'"));
        if (!read)
            return Status::failure(
                QStringLiteral("The file is not a Quill Brook store (%1)").arg(read.message()));
        if (read.value().step() != sql::Statement::Step::Row)
            return Status::failure(QStringLiteral("The store has no schema version"));
        found = read.value().text(0);
    }
    if (compareVersions(found, QString::fromLatin1(version)) > 0)
        return Status::failure(
            QStringLiteral("The store was written by a newer version (schema %1; this build "
                           "reads %2)")
                .arg(found, QString::fromLatin1(version)));
    return upgrade(db);
}

} // namespace qb::schema
