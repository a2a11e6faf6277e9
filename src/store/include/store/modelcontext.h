#pragma once

#include "model/record.h"
#include "model/todoitem.h"
#include "model/todopredicate.h"
#include "store/status.h"
#include "store/todoheadlines.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QRandomGenerator64>
#include <QSet>

#include <memory>
#include <optional>

namespace qb {

struct TodoSnapshot;

namespace sql {
class Database;
}

// A working set of records over one connection to the store file. Each stored row is one
// object for as long as anything holds it (identity map); inserted, changed and deleted records
// are held strongly until a save writes them, so a failed save loses nothing. Reads see the
// unsaved changes too. Main thread only.
class ModelContext : public QObject, public RecordContext {
    Q_OBJECT

public:
    ModelContext(std::unique_ptr<sql::Database> db, const QString &searchLocaleId,
                 QObject *parent = nullptr);
    ~ModelContext() override;

    void insert(const TodoItemPtr &item);
    void insert(const SubtaskPtr &subtask);
    void insert(const ChangeEntryPtr &entry);
    // Deleting a to-do deletes its subtasks and change entries too.
    void remove(const TodoItemPtr &item);
    void remove(const SubtaskPtr &subtask);
    void remove(const ChangeEntryPtr &entry);

    bool hasChanges() const;
    // Writes every pending change in one transaction. On failure everything stays pending.
    Status save();

    Result<QList<TodoItemPtr>> fetch(const TodoFetch &request);
    Result<int> count(const TodoPredicate &predicate);
    // The first `limit` matching to-dos in `sort` order as headlines, and how many match in
    // all: one query that reads three columns and makes no records.
    Result<TodoHeadlines> headlines(const TodoPredicate &predicate, const QList<TodoSort> &sort,
                                    int limit);
    // The largest sort order among the matching to-dos; nullopt when none match. For a list
    // (completion and a range of days) an index answers it without visiting the rows.
    Result<std::optional<double>> maximumSortOrder(const TodoPredicate &predicate);

    // Looks for commits made by other connections (another process, another context); when
    // there were some, refreshes the records held here, drops the ones deleted there and emits
    // remoteChange. Returns whether anything was merged. First checks that the store file is
    // still the one at its path, and emits fileMoved when it is not.
    bool checkForRemoteChanges();

    // Whether the file this context works on was deleted or replaced at its path since it was
    // opened: saves would then go to a file nobody can open again.
    bool hasFileMoved() const;
    // Writes what the file holds (committed data, not what is pending here) into the empty file
    // at `path`, as a store of its own.
    Status copyStoreTo(const QString &path);
    // Copies the whole log into the store file and empties it, waiting a while for readers
    // elsewhere; fails when one still holds part of it.
    Status emptyLog();
    // Goes on with `db` instead of the current connection, which is closed. Pending changes
    // stay pending; call announceReopened once the store is where it stays.
    void adoptConnection(std::unique_ptr<sql::Database> db);
    // Held records follow the file now open, as after a remote change (those it lacks are
    // dropped, unsaved edits win), and `notice` goes out as a storeFileNotice.
    void announceReopened(const QString &notice);
    // A storeFileNotice alone: the store could not be reopened.
    void announceFileProblem(const QString &notice);

    // Copies what the write-ahead log holds into the store file, as far as readers in other
    // processes allow, without waiting for them. SQLite otherwise does this inside the commit
    // that fills the log past `limitPages` (1000 unless set), which makes that one save slow.
    Status checkpoint();
    Status setCheckpointLimit(int limitPages);
    // For a process that opens the store for one command: a log of up to `bytes` is left for
    // the next process instead of being copied into the store file at every close, which costs
    // two disk syncs there and two more for the next writer to start a new log.
    void keepShortLogOnClose(qint64 bytes);

    QString searchLocaleId() const { return m_searchLocaleId; }

    // RecordContext
    void recordDidChange(Record &record) override;
    void loadSubtasks(TodoItem &item) override;
    void loadChanges(TodoItem &item) override;
    void readSubtasks(TodoItem &item, bool notify);
    void readChanges(TodoItem &item, bool notify);
    void adoptRelated(const std::shared_ptr<Record> &record) override;

signals:
    // After a save that wrote changes.
    void didSave();
    // Whenever the set of records or their fields may have changed: after any save attempt
    // with pending changes, and after merging remote changes. Live queries re-run on it.
    void objectsDidChange();
    // After changes committed by another connection were merged.
    void remoteChange();
    // The store file was deleted or replaced at its path while open. Whoever opened the store
    // reopens it (adoptConnection, announceReopened) before this returns.
    void fileMoved();
    // What happened to the store file while open and what was done about it, in a sentence or
    // two for the user.
    void storeFileNotice(const QString &notice);

private:
    friend class SyncLedger;
    using Companion = std::function<Status(sql::Database &)>;
    // Bulk transfer reads and writes rows on this connection, around the records.
    friend class BulkInsert;
    friend Status readEveryTodo(ModelContext &context,
                                const std::function<bool(TodoSnapshot &&)> &visit);

    template <typename T> using Map = QHash<qint64, std::weak_ptr<T>>;

    // Writes the pending records and the rows `companion` writes in one transaction, even
    // when no record is pending: the sync bookkeeping commits with the records it describes.
    Status save(const Companion &companion);
    sql::Database &connection() { return *m_db; }

    qint64 newStorageKey();
    void adopt(const std::shared_ptr<Record> &record);
    void adoptChildren(TodoItem &item);
    void forget(Record &record);
    void pinOwnerOf(Record &record);
    Status writePending();
    template <typename Function> auto withPendingVisible(Function &&read) -> decltype(read());
    // Whether an unsaved change could alter the stored rows of `owner`'s members (`Member` is
    // Subtask or ChangeEntry). Members only move between owners whose collections are loaded,
    // so for an unloaded collection that takes a pending member linked to `owner`, a pending
    // deletion of a member, or the owner's own deletion.
    template <typename Member> bool pendingReachesMembersOf(const TodoItem &owner) const;
    TodoItemPtr materializeTodo(const class TodoRow &row);
    // The object for a row read from the file: the one already held (refreshed unless it has
    // unsaved edits), or a new one made by `makeBlank`, filled and attached.
    template <typename T, typename Row, typename MakeBlank>
    std::shared_ptr<T> materialize(Map<T> &map, const Row &row, MakeBlank makeBlank);
    void refreshHeldRecords();
    qint64 dataVersion();

    std::unique_ptr<sql::Database> m_db;
    QString m_searchLocaleId;
    QRandomGenerator64 m_keys;
    Map<TodoItem> m_todos;
    Map<Subtask> m_subtasks;
    Map<ChangeEntry> m_changes;
    // Pending work, held strongly. Insert order is kept so parents are written before children.
    QList<std::shared_ptr<Record>> m_inserted;
    QSet<const Record *> m_insertedSet;
    QHash<Record *, std::shared_ptr<Record>> m_updated;
    QList<std::shared_ptr<Record>> m_deleted;
    // Owners of pending subtasks and entries: a child only knows its owner weakly, and the
    // owner's row key must still be known when the child is written.
    QHash<const TodoItem *, TodoItemPtr> m_pinnedOwners;
    qint64 m_lastDataVersion = -1;
    // Kept to apply to a connection adopted later.
    std::optional<int> m_checkpointLimit;
    qint64 m_keptLogLimit = 0;
};

} // namespace qb
