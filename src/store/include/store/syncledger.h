#pragma once

#include "store/status.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

namespace qb {

class ModelContext;

namespace sql {
class Database;
}

// A record as the server last held it: the resource, its entity tag (empty when the server
// gave none) and the iCalendar text both sides agreed on then.
struct SyncedResource {
    QUuid recordId;
    QString uid;
    QString href;
    QString etag;
    QByteArray base;
};

// A record changed here since it was last sent. A later change of the same record gets a
// larger sequence number.
struct PendingChange {
    QUuid recordId;
    QDateTime changedAt;
    qint64 sequence = 0;
};

// What an id names in the store right now.
struct RecordLocation {
    enum class Kind { Missing, Todo, Subtask };
    Kind kind = Kind::Missing;
    QUuid parentId; // the owning to-do of a subtask
};

// The sync bookkeeping kept inside the store file beside the records: the collection the store
// is bound to, each record's resource on the server and the queue of records changed here.
// While the store is bound, every write to a record queues it (the store's triggers do that for
// any writer). Writes made here are staged and committed together with the context's pending
// records, in one transaction, so the bookkeeping never disagrees with the records.
class SyncLedger {
public:
    explicit SyncLedger(ModelContext &context);

    // The collection the store is bound to; empty when none.
    Result<QString> collection();
    // A stored value ("token", "lastSync", "lastError"); null when absent.
    Result<QString> value(const QString &key);

    // Oldest first; at most `limit` when it is positive.
    Result<QList<PendingChange>> pending(int limit = 0);
    Result<int> pendingCount();
    Result<std::optional<PendingChange>> pendingChange(const QUuid &recordId);
    Result<std::optional<SyncedResource>> resource(const QUuid &recordId);
    Result<std::optional<SyncedResource>> resourceAt(const QString &href);
    // Known resources' entity tags by href, in href order after `after`, at most `limit`:
    // a full listing is compared with them a page at a time.
    Result<QList<std::pair<QString, QString>>> entityTags(const QString &after, int limit);
    Result<RecordLocation> locate(const QUuid &id);

    void setValue(const QString &key, const QString &value);
    void removeValue(const QString &key);
    void record(const SyncedResource &resource);
    void forget(const QUuid &recordId);
    // Takes the record off the queue unless it changed again after `change` was read.
    void settle(const PendingChange &change);
    // Off the queue whatever its sequence: for records just written to match the server.
    void unqueue(const QUuid &recordId);
    void enqueue(const QUuid &recordId, const QDateTime &changedAt);
    bool hasStagedWrites() const { return !m_staged.isEmpty(); }

    // Writes the staged rows with the context's pending records; on failure nothing is
    // written, the records stay pending in the context and the staged rows are dropped.
    Status commit();

    // Binds the store to `collection`: the old bookkeeping goes and every record is queued,
    // dated by its last logged change. Binding to the current collection changes nothing.
    Status bind(const QString &collection);
    // Drops all bookkeeping; the records stay as they are and edits are no longer queued.
    Status unbind();

private:
    using Write = std::function<Status(sql::Database &)>;

    ModelContext &m_context;
    QList<Write> m_staged;
};

} // namespace qb
