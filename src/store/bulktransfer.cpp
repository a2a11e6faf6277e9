#include "store/bulktransfer.h"

#include "rows.h"
#include "store/modelcontext.h"

#include <QRandomGenerator>

namespace qb {

namespace {

using namespace rows;

// A range of row keys for one insert: far more than any import writes, and a tiny part of the
// key space, so an empty one is found at once among randomly chosen keys.
constexpr qint64 keyRangeSize = qint64(1) << 40;

const char *const tables[] = {"todo_item", "subtask", "change_entry"};

Result<bool> rangeIsFree(sql::Database &db, qint64 first) {
    for (const char *table : tables) {
        auto statement = db.prepare(
            QStringLiteral("SELECT 1 FROM %1 WHERE pk >= ? AND pk < ? LIMIT 1").arg(table));
        if (!statement)
            return StoreError{statement.message()};
        statement.value().bindAll({first, first + keyRangeSize});
        switch (statement.value().step()) {
        case Statement::Step::Row:
            return false;
        case Statement::Step::Error:
            return StoreError{db.lastError()};
        case Statement::Step::Done:
            break;
        }
    }
    return true;
}

Result<qint64> freeKeyRange(sql::Database &db) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const qint64 first =
            qint64(QRandomGenerator::system()->generate64() & ((quint64(1) << 62) - 1)) + 1;
        auto free = rangeIsFree(db, first);
        if (!free)
            return StoreError{free.message()};
        if (free.value())
            return first;
    }
    return StoreError{QStringLiteral("no free range of row keys")};
}

const QString insertTodoSql =
    QStringLiteral("INSERT INTO todo_item(%1) VALUES (?,?,?,?,?,?,?,?,?,?,?)").arg(todoColumns);
const QString insertChangeSql =
    QStringLiteral("INSERT INTO change_entry(%1, position) VALUES (?,?,?,?,?,?,?)")
        .arg(changeColumns);
const QString insertSubtaskSql =
    QStringLiteral("INSERT INTO subtask(%1, position) VALUES (?,?,?,?,?,?,?,?)")
        .arg(subtaskColumns);
const QString todoWithIdSql = QStringLiteral("SELECT 1 FROM todo_item WHERE id = ? LIMIT 1");

TodoSnapshot snapshotOf(const TodoRow &row) {
    TodoSnapshot todo;
    todo.id = row.id;
    todo.title = row.title;
    todo.notes = row.notes;
    todo.isCompleted = row.isCompleted;
    todo.completedAt = row.completedAt;
    todo.scheduledDate = row.scheduledDate;
    todo.recurrenceRuleRaw = row.recurrenceRuleRaw;
    todo.listRaw = row.listRaw;
    todo.sortOrder = row.sortOrder;
    todo.createdAt = row.createdAt;
    return todo;
}

} // namespace

Status readEveryTodo(ModelContext &context, const std::function<bool(TodoSnapshot &&)> &visit) {
    if (context.hasChanges())
        return Status::failure(QStringLiteral("the context has unsaved changes"));
    sql::Database &db = *context.m_db;
    auto todos = db.prepare(
        QStringLiteral("SELECT %1 FROM todo_item ORDER BY created_at, id").arg(todoColumns));
    if (!todos)
        return Status::failure(todos.message());
    for (;;) {
        switch (todos.value().step()) {
        case Statement::Step::Done:
            return Status::success();
        case Statement::Step::Error:
            return Status::failure(db.lastError());
        case Statement::Step::Row:
            break;
        }
        const TodoRow row = TodoRow::read(todos.value());
        TodoSnapshot todo = snapshotOf(row);
        auto changes = readRows<ChangeRow>(db, changesOfOwnerQuery(), {row.key});
        auto subtasks = readRows<SubtaskRow>(db, subtasksOfOwnerQuery(), {row.key});
        if (!changes || !subtasks)
            return Status::failure(changes ? subtasks.message() : changes.message());
        for (const ChangeRow &change : std::as_const(changes.value()))
            todo.changes.append({change.id, change.kindRaw, change.detail, change.timestamp});
        for (const SubtaskRow &subtask : std::as_const(subtasks.value()))
            todo.subtasks.append({subtask.id, subtask.title, subtask.isCompleted, subtask.sortOrder,
                                  subtask.createdAt});
        if (!visit(std::move(todo)))
            return Status::success();
    }
}

BulkInsert::BulkInsert(ModelContext &context, qint64 firstKey)
    : m_context(context)
    , m_firstKey(firstKey)
    , m_nextKey(firstKey) {}

Result<std::unique_ptr<BulkInsert>> BulkInsert::begin(ModelContext &context) {
    if (context.hasChanges())
        return StoreError{QStringLiteral("the context has unsaved changes")};
    sql::Database &db = *context.m_db;
    if (auto status = runStatement(db, QStringLiteral("BEGIN IMMEDIATE")); !status)
        return StoreError{status.message()};
    // The range is chosen inside the transaction, so no other writer can take keys from it.
    auto first = freeKeyRange(db);
    if (!first) {
        runStatement(db, QStringLiteral("ROLLBACK"));
        return StoreError{first.message()};
    }
    return std::unique_ptr<BulkInsert>(new BulkInsert(context, first.value()));
}

BulkInsert::~BulkInsert() {
    if (m_open)
        runStatement(*m_context.m_db, QStringLiteral("ROLLBACK"));
}

Result<bool> BulkInsert::hasTodo(const QUuid &id) {
    sql::Database &db = *m_context.m_db;
    auto statement = db.prepare(todoWithIdSql);
    if (!statement)
        return StoreError{statement.message()};
    statement.value().bind(1, uuidText(id));
    switch (statement.value().step()) {
    case Statement::Step::Row:
        return true;
    case Statement::Step::Done:
        return false;
    case Statement::Step::Error:
        break;
    }
    return StoreError{db.lastError()};
}

Status BulkInsert::insert(const TodoSnapshot &todo) {
    sql::Database &db = *m_context.m_db;
    const qint64 owner = nextKey();
    if (m_nextKey - m_firstKey > keyRangeSize)
        return Status::failure(QStringLiteral("too many rows for one insert"));
    Status status = runStatement(
        db, insertTodoSql,
        {owner, uuidText(todo.id), todo.title, todo.notes, qint64(todo.isCompleted),
         sql::momentValue(todo.completedAt), sql::momentValue(todo.scheduledDate), todo.listRaw,
         todo.sortOrder, sql::momentValue(todo.createdAt), textOrNull(todo.recurrenceRuleRaw)});
    // Positions count up per owner from 1, in the order members are added.
    qint64 position = 0;
    for (const auto &change : todo.changes) {
        if (!status)
            return status;
        status = runStatement(db, insertChangeSql,
                              {nextKey(), uuidText(change.id), sql::momentValue(change.timestamp),
                               change.kindRaw, textOrNull(change.detail), owner, ++position});
    }
    position = 0;
    for (const auto &subtask : todo.subtasks) {
        if (!status)
            return status;
        status = runStatement(db, insertSubtaskSql,
                              {nextKey(), uuidText(subtask.id), subtask.title,
                               qint64(subtask.isCompleted), subtask.sortOrder,
                               sql::momentValue(subtask.createdAt), owner, ++position});
    }
    return status;
}

Status BulkInsert::forEachEarlierId(Members members,
                                    const std::function<void(const QUuid &)> &visit) {
    sql::Database &db = *m_context.m_db;
    auto statement =
        db.prepare(QStringLiteral("SELECT id FROM %1 WHERE pk < ? OR pk >= ?")
                       .arg(members == Members::Subtasks ? QStringLiteral("subtask")
                                                         : QStringLiteral("change_entry")));
    if (!statement)
        return Status::failure(statement.message());
    statement.value().bindAll({m_firstKey, m_firstKey + keyRangeSize});
    for (;;) {
        switch (statement.value().step()) {
        case Statement::Step::Row:
            visit(QUuid::fromString(statement.value().text(0)));
            continue;
        case Statement::Step::Done:
            return Status::success();
        case Statement::Step::Error:
            return Status::failure(db.lastError());
        }
    }
}

Status BulkInsert::commit() {
    if (auto status = runStatement(*m_context.m_db, QStringLiteral("COMMIT")); !status)
        return status;
    m_open = false;
    emit m_context.didSave();
    emit m_context.objectsDidChange();
    return Status::success();
}

} // namespace qb
