#include "store/syncledger.h"

#include "predicatesql.h"
#include "rows.h"
#include "schema.h"
#include "sqlite.h"
#include "store/modelcontext.h"

namespace qb {

namespace {

using sql::Statement;
using sql::Value;

const QString collectionKey = QStringLiteral("collection");

QString idText(const QUuid &id) {
    return id.toString(QUuid::WithoutBraces);
}

using rows::runStatement;

template <typename Row> Result<std::optional<Row>> first(Result<QList<Row>> found) {
    if (!found)
        return StoreError{found.message()};
    if (found.value().isEmpty())
        return std::optional<Row>();
    return std::optional<Row>(found.value().first());
}

PendingChange readPending(const Statement &s) {
    return {QUuid::fromString(s.text(0)), sql::momentFrom(s, 1), s.integer(2)};
}

SyncedResource readResource(const Statement &s) {
    return {QUuid::fromString(s.text(0)), s.text(1), s.text(2), s.text(3), s.text(4).toUtf8()};
}

const QString pendingColumns = QStringLiteral("record_id, changed_at, seq");
const QString resourceColumns = QStringLiteral("record_id, uid, href, etag, base");

} // namespace

SyncLedger::SyncLedger(ModelContext &context)
    : m_context(context) {}

Result<QString> SyncLedger::collection() {
    auto found = value(collectionKey);
    if (!found)
        return found;
    return found.value().isNull() ? QString(QLatin1String("")) : found.value();
}

Result<QString> SyncLedger::value(const QString &key) {
    auto found = first(sql::collect<QString>(
        m_context.connection(), QStringLiteral("SELECT value FROM sync_meta WHERE key = ?"), {key},
        [](const Statement &s) { return s.text(0); }));
    if (!found)
        return StoreError{found.message()};
    return found.value().value_or(QString());
}

Result<QList<PendingChange>> SyncLedger::pending(int limit) {
    return sql::collect<PendingChange>(
        m_context.connection(),
        QStringLiteral("SELECT %1 FROM sync_pending ORDER BY seq LIMIT ?").arg(pendingColumns),
        {qint64(limit > 0 ? limit : -1)}, readPending);
}

Result<int> SyncLedger::pendingCount() {
    auto found = first(sql::collect<qint64>(m_context.connection(),
                                            QStringLiteral("SELECT count(*) FROM sync_pending"), {},
                                            [](const Statement &s) { return s.integer(0); }));
    if (!found)
        return StoreError{found.message()};
    return int(found.value().value_or(0));
}

Result<std::optional<PendingChange>> SyncLedger::pendingChange(const QUuid &recordId) {
    return first(sql::collect<PendingChange>(
        m_context.connection(),
        QStringLiteral("SELECT %1 FROM sync_pending WHERE record_id = ?").arg(pendingColumns),
        {idText(recordId)}, readPending));
}

Result<std::optional<SyncedResource>> SyncLedger::resource(const QUuid &recordId) {
    return first(sql::collect<SyncedResource>(
        m_context.connection(),
        QStringLiteral("SELECT %1 FROM sync_resource WHERE record_id = ?").arg(resourceColumns),
        {idText(recordId)}, readResource));
}

Result<std::optional<SyncedResource>> SyncLedger::resourceAt(const QString &href) {
    return first(sql::collect<SyncedResource>(
        m_context.connection(),
        QStringLiteral("SELECT %1 FROM sync_resource WHERE href = ?").arg(resourceColumns), {href},
        readResource));
}

Result<QList<std::pair<QString, QString>>> SyncLedger::entityTags(const QString &after, int limit) {
    return sql::collect<std::pair<QString, QString>>(
        m_context.connection(),
        QStringLiteral("SELECT href, etag FROM sync_resource WHERE href > ? ORDER BY href LIMIT ?"),
        {after, qint64(limit)}, [](const Statement &s) {
            return std::pair{s.text(0), s.text(1)};
        });
}

Result<RecordLocation> SyncLedger::locate(const QUuid &id) {
    const QString text = idText(id);
    auto found = first(sql::collect<RecordLocation>(
        m_context.connection(),
        QStringLiteral("SELECT 1, NULL FROM todo_item WHERE id = ?1 UNION ALL "
                       "SELECT 2, t.id FROM subtask s JOIN todo_item t ON t.pk = s.parent_pk "
                       "WHERE s.id = ?1 LIMIT 1"),
        {text}, [](const Statement &s) {
            return s.integer(0) == 1 ? RecordLocation{RecordLocation::Kind::Todo, QUuid()}
                                     : RecordLocation{RecordLocation::Kind::Subtask,
                                                      QUuid::fromString(s.text(1))};
        }));
    if (!found)
        return StoreError{found.message()};
    return found.value().value_or(RecordLocation());
}

void SyncLedger::setValue(const QString &key, const QString &value) {
    m_staged.append([key, value](sql::Database &db) {
        return runStatement(
            db, QStringLiteral("INSERT OR REPLACE INTO sync_meta(key, value) VALUES (?, ?)"),
            {key, value});
    });
}

void SyncLedger::removeValue(const QString &key) {
    m_staged.append([key](sql::Database &db) {
        return runStatement(db, QStringLiteral("DELETE FROM sync_meta WHERE key = ?"), {key});
    });
}

void SyncLedger::record(const SyncedResource &resource) {
    m_staged.append([resource](sql::Database &db) {
        return runStatement(
            db,
            QStringLiteral("INSERT OR REPLACE INTO sync_resource(%1) VALUES (?,?,?,?,?)")
                .arg(resourceColumns),
            {idText(resource.recordId), resource.uid, resource.href, resource.etag,
             QString::fromUtf8(resource.base)});
    });
}

void SyncLedger::forget(const QUuid &recordId) {
    m_staged.append([recordId](sql::Database &db) {
        return runStatement(db, QStringLiteral("DELETE FROM sync_resource WHERE record_id = ?"),
                            {idText(recordId)});
    });
}

void SyncLedger::settle(const PendingChange &change) {
    m_staged.append([change](sql::Database &db) {
        return runStatement(
            db, QStringLiteral("DELETE FROM sync_pending WHERE record_id = ? AND seq = ?"),
            {idText(change.recordId), change.sequence});
    });
}

void SyncLedger::unqueue(const QUuid &recordId) {
    m_staged.append([recordId](sql::Database &db) {
        return runStatement(db, QStringLiteral("DELETE FROM sync_pending WHERE record_id = ?"),
                            {idText(recordId)});
    });
}

void SyncLedger::enqueue(const QUuid &recordId, const QDateTime &changedAt) {
    m_staged.append([recordId, changedAt](sql::Database &db) {
        return runStatement(db,
                            QStringLiteral("INSERT OR REPLACE INTO sync_pending(%1) VALUES (?, ?, "
                                           "(SELECT coalesce(max(seq), 0) + 1 FROM sync_pending))")
                                .arg(pendingColumns),
                            {idText(recordId), sql::momentValue(changedAt)});
    });
}

Status SyncLedger::commit() {
    const QList<Write> staged = std::exchange(m_staged, {});
    return m_context.save([&staged](sql::Database &db) {
        for (const Write &write : staged) {
            if (auto status = write(db); !status)
                return status;
        }
        return Status::success();
    });
}

Status SyncLedger::bind(const QString &collection) {
    auto current = this->collection();
    if (!current)
        return Status::failure(current.message());
    if (current.value() == collection)
        return Status::success();
    m_staged.append([collection](sql::Database &db) {
        for (const char *statement :
             {"DELETE FROM sync_meta", "DELETE FROM sync_resource", "DELETE FROM sync_pending"}) {
            if (auto status = runStatement(db, QString::fromLatin1(statement)); !status)
                return status;
        }
        if (auto status =
                runStatement(db, QStringLiteral("INSERT INTO sync_meta(key, value) VALUES (?, ?)"),
                             {collectionKey, collection});
            !status)
            return status;
        if (auto status = schema::setSyncQueueTriggers(db, true); !status)
            return status;
        // To-dos first, so a subtask never reaches the server before its parent.
        if (auto status = runStatement(
                db, QStringLiteral("INSERT INTO sync_pending(record_id, changed_at, seq) "
                                   "SELECT id, coalesce((SELECT max(timestamp) FROM "
                                   "change_entry WHERE item_pk = todo_item.pk), created_at), "
                                   "row_number() OVER (ORDER BY created_at, pk) FROM todo_item"));
            !status)
            return status;
        return runStatement(
            db, QStringLiteral("INSERT INTO sync_pending(record_id, changed_at, seq) "
                               "SELECT id, created_at, (SELECT coalesce(max(seq), 0) FROM "
                               "sync_pending) + row_number() OVER (ORDER BY pk) FROM subtask"));
    });
    return commit();
}

Status SyncLedger::unbind() {
    m_staged.clear();
    m_staged.append([](sql::Database &db) {
        for (const char *statement :
             {"DELETE FROM sync_meta", "DELETE FROM sync_resource", "DELETE FROM sync_pending"}) {
            if (auto status = runStatement(db, QString::fromLatin1(statement)); !status)
                return status;
        }
        return schema::setSyncQueueTriggers(db, false);
    });
    return commit();
}

} // namespace qb
