#include "store/modelcontext.h"

#include "model/recordaccess.h"
#include "model/whitespace.h"
#include "predicatesql.h"
#include "rows.h"
#include "searchfunction.h"
#include "sqlite.h"

#include <QRandomGenerator>

namespace qb {

namespace {

using sql::Statement;
using sql::Value;

// Row keys need only be unlikely to meet, not unpredictable: a generator seeded once from 128
// bits of the system's source. Qt's shared generator would draw 2.5 KB from it on first use,
// which takes longer than a whole save where the CPU's entropy instruction traps (VMs).
QRandomGenerator64 seededKeyGenerator() {
    quint32 seed[4];
    QRandomGenerator::system()->fillRange(seed);
    return QRandomGenerator64(seed);
}

} // namespace

namespace {

using namespace rows;

// The position after the owner's last member (bound to the owner's key).
QString nextPosition(const QString &table, const QString &ownerColumn) {
    return QStringLiteral(", (SELECT coalesce(max(position), 0) + 1 FROM %1 WHERE %2 IS ?)")
        .arg(table, ownerColumn);
}

Status writeInsert(sql::Database &db, Record &record) {
    if (auto *item = qobject_cast<TodoItem *>(&record)) {
        return runStatement(
            db,
            QStringLiteral("INSERT INTO todo_item(%1) VALUES (?,?,?,?,?,?,?,?,?,?,?)")
                .arg(todoColumns),
            {item->storageKey(), uuidText(item->id()), item->title(), item->notes(),
             qint64(item->isCompleted()), sql::momentValue(item->completedAt()),
             sql::momentValue(item->scheduledDate()), item->listRaw(), item->sortOrder(),
             sql::momentValue(item->createdAt()), textOrNull(item->recurrenceRuleRaw())});
    }
    if (auto *subtask = qobject_cast<Subtask *>(&record)) {
        return runStatement(
            db,
            QStringLiteral("INSERT INTO subtask(%1, position) VALUES (?,?,?,?,?,?,?%2)")
                .arg(subtaskColumns,
                     nextPosition(QStringLiteral("subtask"), QStringLiteral("parent_pk"))),
            {subtask->storageKey(), uuidText(subtask->id()), subtask->title(),
             qint64(subtask->isCompleted()), subtask->sortOrder(),
             sql::momentValue(subtask->createdAt()), keyOrNull(RecordAccess::ownerKey(*subtask)),
             keyOrNull(RecordAccess::ownerKey(*subtask))});
    }
    auto *entry = qobject_cast<ChangeEntry *>(&record);
    return runStatement(
        db,
        QStringLiteral("INSERT INTO change_entry(%1, position) VALUES (?,?,?,?,?,?%2)")
            .arg(changeColumns,
                 nextPosition(QStringLiteral("change_entry"), QStringLiteral("item_pk"))),
        {entry->storageKey(), uuidText(entry->id()), sql::momentValue(entry->timestamp()),
         entry->kindRaw(), textOrNull(entry->detail()), keyOrNull(RecordAccess::ownerKey(*entry)),
         keyOrNull(RecordAccess::ownerKey(*entry))});
}

Status writeUpdate(sql::Database &db, Record &record) {
    if (auto *item = qobject_cast<TodoItem *>(&record)) {
        return runStatement(
            db,
            QStringLiteral("UPDATE todo_item SET id=?, title=?, notes=?, is_completed=?, "
                           "completed_at=?, scheduled_date=?, list_raw=?, sort_order=?, "
                           "created_at=?, recurrence_rule_raw=? WHERE pk=?"),
            {uuidText(item->id()), item->title(), item->notes(), qint64(item->isCompleted()),
             sql::momentValue(item->completedAt()), sql::momentValue(item->scheduledDate()),
             item->listRaw(), item->sortOrder(), sql::momentValue(item->createdAt()),
             textOrNull(item->recurrenceRuleRaw()), item->storageKey()});
    }
    if (auto *subtask = qobject_cast<Subtask *>(&record)) {
        return runStatement(db,
                            QStringLiteral("UPDATE subtask SET id=?, title=?, is_completed=?, "
                                           "sort_order=?, created_at=?, parent_pk=? WHERE pk=?"),
                            {uuidText(subtask->id()), subtask->title(),
                             qint64(subtask->isCompleted()), subtask->sortOrder(),
                             sql::momentValue(subtask->createdAt()),
                             keyOrNull(RecordAccess::ownerKey(*subtask)), subtask->storageKey()});
    }
    auto *entry = qobject_cast<ChangeEntry *>(&record);
    return runStatement(db,
                        QStringLiteral("UPDATE change_entry SET id=?, timestamp=?, kind_raw=?, "
                                       "detail=?, item_pk=? WHERE pk=?"),
                        {uuidText(entry->id()), sql::momentValue(entry->timestamp()),
                         entry->kindRaw(), textOrNull(entry->detail()),
                         keyOrNull(RecordAccess::ownerKey(*entry)), entry->storageKey()});
}

QString tableOf(const Record &record) {
    if (qobject_cast<const TodoItem *>(&record))
        return QStringLiteral("todo_item");
    if (qobject_cast<const Subtask *>(&record))
        return QStringLiteral("subtask");
    return QStringLiteral("change_entry");
}

// Parents first on insert, children first on delete.
int writeRank(const Record &record) {
    return qobject_cast<const TodoItem *>(&record) ? 0 : 1;
}

} // namespace

ModelContext::ModelContext(std::unique_ptr<sql::Database> db, const QString &searchLocaleId,
                           QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_searchLocaleId(searchLocaleId)
    , m_keys(seededKeyGenerator()) {
    sql::registerSearchFunction(*m_db, m_searchLocaleId);
    m_lastDataVersion = dataVersion();
}

ModelContext::~ModelContext() {
    // Records may outlive the context (an undo value, a view); they simply stop belonging.
    const auto detachAll = [](auto &map) {
        for (const auto &weak : std::as_const(map)) {
            if (auto record = weak.lock())
                RecordAccess::detach(*record);
        }
    };
    detachAll(m_todos);
    detachAll(m_subtasks);
    detachAll(m_changes);
}

// Row keys are chosen here, not by SQLite, so an unsaved record already has its key and reads
// that include unsaved changes map rows back to the very objects held in memory.
qint64 ModelContext::newStorageKey() {
    qint64 key = 0;
    while (key == 0)
        key = qint64(m_keys.generate64() & 0x7fffffffffffffffULL);
    return key;
}

void ModelContext::adopt(const std::shared_ptr<Record> &record) {
    if (record->isInContext() || record->isDeleted())
        return;
    const qint64 key = record->storageKey() != 0 ? record->storageKey() : newStorageKey();
    RecordAccess::attach(*record, this, key);
    if (auto item = std::dynamic_pointer_cast<TodoItem>(record))
        m_todos.insert(key, item);
    else if (auto subtask = std::dynamic_pointer_cast<Subtask>(record))
        m_subtasks.insert(key, subtask);
    else if (auto entry = std::dynamic_pointer_cast<ChangeEntry>(record))
        m_changes.insert(key, entry);
    m_inserted.append(record);
    m_insertedSet.insert(record.get());
    pinOwnerOf(*record);
    emit record->contextStateChanged();
}

void ModelContext::pinOwnerOf(Record &record) {
    TodoItemPtr owner;
    if (auto *subtask = qobject_cast<Subtask *>(&record))
        owner = subtask->parent();
    else if (auto *entry = qobject_cast<ChangeEntry *>(&record))
        owner = entry->item();
    if (owner)
        m_pinnedOwners.insert(owner.get(), owner);
}

void ModelContext::adoptChildren(TodoItem &item) {
    for (const auto &subtask : item.subtasks())
        adopt(subtask);
    for (const auto &entry : item.changes())
        adopt(entry);
}

void ModelContext::insert(const TodoItemPtr &item) {
    adopt(item);
    adoptChildren(*item);
}

void ModelContext::insert(const SubtaskPtr &subtask) {
    adopt(subtask);
}

void ModelContext::insert(const ChangeEntryPtr &entry) {
    adopt(entry);
}

void ModelContext::adoptRelated(const std::shared_ptr<Record> &record) {
    adopt(record);
}

void ModelContext::forget(Record &record) {
    // A record deleted before it was ever written just leaves the pending inserts.
    qsizetype inserted = 0;
    if (m_insertedSet.remove(&record))
        inserted = m_inserted.removeIf(
            [&](const std::shared_ptr<Record> &r) { return r.get() == &record; });
    const auto updated = m_updated.take(&record);
    if (inserted == 0) {
        std::shared_ptr<Record> strong = updated ? updated : record.shared_from_this();
        m_deleted.append(strong);
    }
    RecordAccess::markDeleted(record, true);
}

void ModelContext::remove(const TodoItemPtr &item) {
    if (!item || item->context() != this || item->isDeleted())
        return;
    // Cascade in memory, as the store does on disk.
    for (const auto &subtask : item->subtasks())
        if (!subtask->isDeleted())
            forget(*subtask);
    for (const auto &entry : item->changes())
        if (!entry->isDeleted())
            forget(*entry);
    forget(*item);
}

void ModelContext::remove(const SubtaskPtr &subtask) {
    if (!subtask || subtask->context() != this || subtask->isDeleted())
        return;
    if (auto parent = subtask->parent())
        parent->removeSubtask(*subtask);
    forget(*subtask);
}

void ModelContext::remove(const ChangeEntryPtr &entry) {
    if (!entry || entry->context() != this || entry->isDeleted())
        return;
    if (auto item = entry->item())
        item->removeChange(*entry);
    forget(*entry);
}

void ModelContext::recordDidChange(Record &record) {
    if (record.isDeleted())
        return;
    pinOwnerOf(record);
    if (!m_updated.contains(&record) && !m_insertedSet.contains(&record))
        m_updated.insert(&record, record.shared_from_this());
}

bool ModelContext::hasChanges() const {
    return !m_inserted.isEmpty() || !m_updated.isEmpty() || !m_deleted.isEmpty();
}

Status ModelContext::writePending() {
    QList<std::shared_ptr<Record>> inserts = m_inserted;
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto &a, const auto &b) { return writeRank(*a) < writeRank(*b); });
    for (const auto &record : inserts) {
        if (auto status = writeInsert(*m_db, *record); !status)
            return status;
    }
    for (const auto &record : std::as_const(m_updated)) {
        if (auto status = writeUpdate(*m_db, *record); !status)
            return status;
    }
    QList<std::shared_ptr<Record>> deletes = m_deleted;
    std::stable_sort(deletes.begin(), deletes.end(),
                     [](const auto &a, const auto &b) { return writeRank(*a) > writeRank(*b); });
    for (const auto &record : deletes) {
        if (auto status = runStatement(
                *m_db, QStringLiteral("DELETE FROM %1 WHERE pk=?").arg(tableOf(*record)),
                {record->storageKey()});
            !status)
            return status;
    }
    return Status::success();
}

Status ModelContext::save() {
    return save(Companion());
}

Status ModelContext::save(const Companion &companion) {
    const bool recordsPending = hasChanges();
    if (!recordsPending && !companion)
        return Status::success();
    Status status = runStatement(*m_db, QStringLiteral("BEGIN IMMEDIATE"));
    if (status) {
        status = writePending();
        if (status && companion)
            status = companion(*m_db);
        if (status)
            status = runStatement(*m_db, QStringLiteral("COMMIT"));
        if (!status)
            runStatement(*m_db, QStringLiteral("ROLLBACK"));
    }
    if (!status) {
        emit objectsDidChange();
        return status;
    }

    for (const auto &record : std::as_const(m_deleted)) {
        const qint64 key = record->storageKey();
        m_todos.remove(key);
        m_subtasks.remove(key);
        m_changes.remove(key);
        RecordAccess::detach(*record);
    }
    m_inserted.clear();
    m_insertedSet.clear();
    m_updated.clear();
    m_deleted.clear();
    m_pinnedOwners.clear();
    // The data version baseline stays where it is: our own commit does not move it, and a
    // commit made elsewhere since the last check must still be merged at the next one.
    if (recordsPending) {
        emit didSave();
        emit objectsDidChange();
    }
    return Status::success();
}

template <typename Function>
auto ModelContext::withPendingVisible(Function &&read) -> decltype(read()) {
    if (!hasChanges())
        return read();
    // Unsaved changes are written inside a savepoint that is always rolled back, so SQLite
    // evaluates the query over exactly what the app sees.
    const bool outermost = !m_db->inTransaction();
    if (!runStatement(*m_db, QStringLiteral("SAVEPOINT qb_read")))
        return read();
    const bool written = writePending().ok();
    auto result = read();
    if (outermost) {
        // Ends the transaction the savepoint began without writing anything; releasing it would
        // commit, which fails on a full disk and leaves the transaction open, so that every
        // later save failed even once there was room again.
        runStatement(*m_db, QStringLiteral("ROLLBACK"));
    } else {
        runStatement(*m_db, QStringLiteral("ROLLBACK TO qb_read"));
        runStatement(*m_db, QStringLiteral("RELEASE qb_read"));
    }
    if (!written)
        return read();
    return result;
}

template <typename Member> bool ModelContext::pendingReachesMembersOf(const TodoItem &owner) const {
    const qint64 key = owner.storageKey();
    const auto linked = [key](Record *record) {
        auto *member = qobject_cast<Member *>(record);
        return member && RecordAccess::ownerKey(*member) == key;
    };
    for (const auto &record : m_inserted) {
        if (linked(record.get()))
            return true;
    }
    for (auto it = m_updated.keyBegin(); it != m_updated.keyEnd(); ++it) {
        if (linked(*it))
            return true;
    }
    for (const auto &record : m_deleted) {
        if (record.get() == &owner || qobject_cast<Member *>(record.get()))
            return true;
    }
    return false;
}

template <typename T, typename Row, typename MakeBlank>
std::shared_ptr<T> ModelContext::materialize(Map<T> &map, const Row &row, MakeBlank makeBlank) {
    if (auto existing = map.value(row.key).lock()) {
        // Fields of a record with unsaved edits are the app's truth; others follow the file.
        if (!m_updated.contains(existing.get()))
            row.applyTo(*existing);
        return existing;
    }
    std::shared_ptr<T> created = makeBlank();
    row.applyTo(*created);
    RecordAccess::attach(*created, this, row.key);
    map.insert(row.key, created);
    return created;
}

TodoItemPtr ModelContext::materializeTodo(const TodoRow &row) {
    return materialize(m_todos, row, [] {
        auto item = std::make_shared<TodoItem>(QString(), TodoList::Today, QDateTime(), 0,
                                               QDateTime(), QUuid());
        RecordAccess::markRelationsUnloaded(*item);
        return item;
    });
}

Result<QList<TodoItemPtr>> ModelContext::fetch(const TodoFetch &request) {
    const sql::Clause where = sql::whereClause(request.predicate);
    QString query =
        QStringLiteral("SELECT %1 FROM todo_item WHERE %2%3")
            .arg(todoColumns, where.text,
                 sql::orderByClause(request.sort,
                                    where.matchesText && !sql::searchIndexServes(request.sort)));
    QList<Value> values = where.values;
    if (request.limit || request.offset > 0) {
        query += QStringLiteral(" LIMIT ? OFFSET ?");
        values.append(qint64(request.limit ? std::max(0, *request.limit) : -1));
        values.append(qint64(std::max(0, request.offset)));
    }
    auto rows = withPendingVisible([&] { return readRows<TodoRow>(*m_db, query, values); });
    if (!rows)
        return StoreError{rows.message()};
    QList<TodoItemPtr> items;
    items.reserve(rows.value().size());
    for (const TodoRow &row : std::as_const(rows.value()))
        items.append(materializeTodo(row));
    return items;
}

Result<int> ModelContext::count(const TodoPredicate &predicate) {
    const sql::Clause where = sql::whereClause(predicate);
    const QString query = QStringLiteral("SELECT count(*) FROM todo_item WHERE %1").arg(where.text);
    return withPendingVisible([&]() -> Result<int> {
        auto statement = m_db->prepare(query);
        if (!statement)
            return StoreError{statement.message()};
        statement.value().bindAll(where.values);
        if (statement.value().step() != Statement::Step::Row)
            return StoreError{m_db->lastError()};
        return static_cast<int>(statement.value().integer(0));
    });
}

Result<TodoHeadlines> ModelContext::headlines(const TodoPredicate &predicate,
                                              const QList<TodoSort> &sort, int limit) {
    // Without a row to carry it the query gives no count.
    if (limit <= 0) {
        auto total = count(predicate);
        if (!total)
            return StoreError{total.message()};
        return TodoHeadlines{total.value(), {}};
    }
    const sql::Clause where = sql::whereClause(predicate);
    // The count is a subquery SQLite runs once, over the index alone; a window over the rows
    // would sort every matching row where the limit lets it keep only the first few. Notes
    // are trimmed of exactly what QString::trimmed() removes, the rule of TodoItem::hasNotes.
    const QString query =
        QStringLiteral(
            "SELECT id, title, trim(notes, ?) <> '', "
            "(SELECT count(*) FROM todo_item WHERE %1) FROM todo_item WHERE %1%2 LIMIT ?")
            .arg(where.text,
                 sql::orderByClause(sort, where.matchesText && !sql::searchIndexServes(sort)));
    QList<Value> values{QString::fromUtf16(whitespaceCharacters)};
    values.append(where.values);
    values.append(where.values);
    values.append(qint64(limit));
    return withPendingVisible([&]() -> Result<TodoHeadlines> {
        TodoHeadlines headlines;
        auto items = sql::collect<
            TodoHeadline>(*m_db, query, values, [&headlines](const Statement &row) {
            headlines.totalCount = int(row.integer(3));
            return TodoHeadline{QUuid::fromString(row.text(0)), row.text(1), row.integer(2) != 0};
        });
        if (!items)
            return StoreError{items.message()};
        headlines.items = std::move(items.value());
        return headlines;
    });
}

Result<std::optional<double>> ModelContext::maximumSortOrder(const TodoPredicate &predicate) {
    const sql::Clause where = sql::whereClause(predicate);
    // Walking the open to-dos down from the largest sort order stops at the first match: quick
    // for a group holding most of them (Later), where reading its range of days would read the
    // whole group. A group below a day (Today) is the other way round: the walk would pass
    // every later to-do first, so its range is read and sorted instead (the plus keeps the
    // sort-order index from being walked).
    const QString query =
        QStringLiteral("SELECT sort_order FROM todo_item WHERE %1 ORDER BY %2sort_order DESC "
                       "LIMIT 1")
            .arg(where.text, where.readsOpenDateRange ? QStringLiteral("+") : QString());
    return withPendingVisible([&]() -> Result<std::optional<double>> {
        auto statement = m_db->prepare(query);
        if (!statement)
            return StoreError{statement.message()};
        statement.value().bindAll(where.values);
        switch (statement.value().step()) {
        case Statement::Step::Done:
            return std::optional<double>();
        case Statement::Step::Row:
            return std::optional<double>(statement.value().real(0));
        case Statement::Step::Error:
            break;
        }
        return StoreError{m_db->lastError()};
    });
}

void ModelContext::loadSubtasks(TodoItem &item) {
    readSubtasks(item, false);
}

void ModelContext::loadChanges(TodoItem &item) {
    readChanges(item, false);
}

void ModelContext::readSubtasks(TodoItem &item, bool notify) {
    const QString query = subtasksOfOwnerQuery();
    const auto read = [&] { return readRows<SubtaskRow>(*m_db, query, {item.storageKey()}); };
    // Most edits leave the members' rows alone; replaying them for this read would write
    // every pending change twice.
    auto rows = pendingReachesMembersOf<Subtask>(item) ? withPendingVisible(read) : read();
    // A failed read leaves the collection empty; the next remote merge tries again.
    QList<SubtaskPtr> subtasks;
    for (const SubtaskRow &row : rows.valueOr({})) {
        subtasks.append(materialize(m_subtasks, row, [] {
            return std::make_shared<Subtask>(QString(), 0, QDateTime(), QUuid());
        }));
    }
    RecordAccess::setLoadedSubtasks(item, std::move(subtasks), notify);
}

void ModelContext::readChanges(TodoItem &item, bool notify) {
    const QString query = changesOfOwnerQuery();
    const auto read = [&] { return readRows<ChangeRow>(*m_db, query, {item.storageKey()}); };
    auto rows = pendingReachesMembersOf<ChangeEntry>(item) ? withPendingVisible(read) : read();
    QList<ChangeEntryPtr> changes;
    for (const ChangeRow &row : rows.valueOr({})) {
        changes.append(materialize(m_changes, row, [] {
            return std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), QDateTime(),
                                                 QUuid());
        }));
    }
    RecordAccess::setLoadedChanges(item, std::move(changes), notify);
}

Status ModelContext::checkpoint() {
    return m_db->exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

Status ModelContext::setCheckpointLimit(int limitPages) {
    m_checkpointLimit = limitPages;
    return m_db->exec(QStringLiteral("PRAGMA wal_autocheckpoint = %1").arg(limitPages));
}

void ModelContext::keepShortLogOnClose(qint64 bytes) {
    m_keptLogLimit = bytes;
    m_db->keepShortLogOnClose(bytes);
}

qint64 ModelContext::dataVersion() {
    auto statement = m_db->prepare(QStringLiteral("PRAGMA data_version"));
    if (!statement || statement.value().step() != Statement::Step::Row)
        return m_lastDataVersion;
    return statement.value().integer(0);
}

bool ModelContext::checkForRemoteChanges() {
    if (hasFileMoved()) {
        emit fileMoved();
        // Reopened: the merge and the announcement are done.
        if (!hasFileMoved())
            return true;
    }
    const qint64 version = dataVersion();
    if (version == m_lastDataVersion)
        return false;
    m_lastDataVersion = version;
    refreshHeldRecords();
    emit remoteChange();
    emit objectsDidChange();
    return true;
}

bool ModelContext::hasFileMoved() const {
    return m_db->fileHasMoved();
}

Status ModelContext::copyStoreTo(const QString &path) {
    return runStatement(*m_db, QStringLiteral("VACUUM INTO ?"), {path});
}

Status ModelContext::emptyLog() {
    auto statement = m_db->prepare(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    if (!statement)
        return Status::failure(statement.message());
    if (statement.value().step() != Statement::Step::Row)
        return Status::failure(m_db->lastError());
    if (statement.value().integer(0) != 0)
        return Status::failure(QStringLiteral("another program is reading the store"));
    return Status::success();
}

void ModelContext::adoptConnection(std::unique_ptr<sql::Database> db) {
    m_db = std::move(db);
    sql::registerSearchFunction(*m_db, m_searchLocaleId);
    if (m_checkpointLimit)
        (void)setCheckpointLimit(*m_checkpointLimit); // without it, SQLite's own limit applies
    m_db->keepShortLogOnClose(m_keptLogLimit);
    m_lastDataVersion = dataVersion();
}

void ModelContext::announceReopened(const QString &notice) {
    refreshHeldRecords();
    emit remoteChange();
    emit objectsDidChange();
    emit storeFileNotice(notice);
}

void ModelContext::announceFileProblem(const QString &notice) {
    emit storeFileNotice(notice);
}

void ModelContext::refreshHeldRecords() {
    const auto isPendingInsert = [this](const Record *record) {
        return m_insertedSet.contains(record);
    };
    // Records deleted by the other side are dropped here, with anything pending on them.
    const auto dropDeleted = [this](Record &record) {
        m_updated.remove(&record);
        RecordAccess::markDeleted(record, true);
        RecordAccess::detach(record);
    };

    const QList<qint64> todoKeys = m_todos.keys();
    for (qint64 key : todoKeys) {
        auto item = m_todos.value(key).lock();
        if (!item) {
            m_todos.remove(key);
            continue;
        }
        if (item->isDeleted() || isPendingInsert(item.get()))
            continue;
        auto rows = readRows<TodoRow>(
            *m_db, QStringLiteral("SELECT %1 FROM todo_item WHERE pk = ?").arg(todoColumns), {key});
        if (!rows)
            continue;
        if (rows.value().isEmpty()) {
            m_todos.remove(key);
            // Children written here after the other side deleted the parent could never be
            // saved; they go with it.
            m_inserted.removeIf([&](const std::shared_ptr<Record> &r) {
                bool orphaned = false;
                if (auto subtask = std::dynamic_pointer_cast<Subtask>(r))
                    orphaned = subtask->parent() == item;
                else if (auto entry = std::dynamic_pointer_cast<ChangeEntry>(r))
                    orphaned = entry->item() == item;
                if (orphaned)
                    m_insertedSet.remove(r.get());
                return orphaned;
            });
            m_pinnedOwners.remove(item.get());
            dropDeleted(*item);
            continue;
        }
        if (!m_updated.contains(item.get()))
            rows.value().first().applyTo(*item);
        if (RecordAccess::subtasksLoaded(*item))
            readSubtasks(*item, true);
        if (RecordAccess::changesLoaded(*item))
            readChanges(*item, true);
    }

    // Subtasks and entries no longer on disk (deleted there on their own or with their parent).
    const auto sweep = [&](auto &map, const QString &table) {
        const QList<qint64> keys = map.keys();
        for (qint64 key : keys) {
            auto record = map.value(key).lock();
            if (!record) {
                map.remove(key);
                continue;
            }
            if (record->isDeleted() || isPendingInsert(record.get()))
                continue;
            auto statement =
                m_db->prepare(QStringLiteral("SELECT 1 FROM %1 WHERE pk = ?").arg(table));
            if (!statement)
                continue;
            statement.value().bind(1, key);
            const auto step = statement.value().step();
            if (step == Statement::Step::Done) {
                map.remove(key);
                dropDeleted(*record);
            }
        }
    };
    sweep(m_subtasks, QStringLiteral("subtask"));
    sweep(m_changes, QStringLiteral("change_entry"));
}

} // namespace qb
