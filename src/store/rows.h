#pragma once

// The stored rows of the three record types as plain values, with the columns they are read
// from, shared by the model context and the bulk transfer.

#include "model/recordaccess.h"
#include "model/subtask.h"
#include "model/todoitem.h"
#include "predicatesql.h"
#include "sqlite.h"

namespace qb {

namespace rows {

using sql::Statement;
using sql::Value;

inline const QString todoColumns = QStringLiteral(
    "pk, id, title, notes, is_completed, completed_at, scheduled_date, list_raw, sort_order, "
    "created_at, recurrence_rule_raw");
inline const QString subtaskColumns =
    QStringLiteral("pk, id, title, is_completed, sort_order, created_at, parent_pk");
inline const QString changeColumns = QStringLiteral("pk, id, timestamp, kind_raw, detail, item_pk");

inline QString uuidText(const QUuid &id) {
    return id.toString(QUuid::WithoutBraces);
}

inline Value textOrNull(const QString &text) {
    if (text.isNull())
        return nullptr;
    return text;
}

inline Value keyOrNull(qint64 key) {
    if (key == 0)
        return nullptr;
    return key;
}

// Through the statement cache: saves run the same few statements over and over.
inline Status runStatement(sql::Database &db, const QString &query,
                           const QList<Value> &values = {}) {
    auto statement = db.prepare(query);
    if (!statement)
        return Status::failure(statement.message());
    statement.value().bindAll(values);
    return statement.value().run();
}

// A to-do's subtasks and change entries in stored order, by the owner's key.
inline QString subtasksOfOwnerQuery() {
    return QStringLiteral("SELECT %1 FROM subtask WHERE parent_pk = ? ORDER BY position, pk")
        .arg(subtaskColumns);
}
inline QString changesOfOwnerQuery() {
    return QStringLiteral("SELECT %1 FROM change_entry WHERE item_pk = ? ORDER BY position, pk")
        .arg(changeColumns);
}

// Every row a query gives, read by `Row::read`.
template <typename Row>
inline Result<QList<Row>> readRows(sql::Database &db, const QString &query,
                                   const QList<Value> &values) {
    return sql::collect<Row>(db, query, values, &Row::read);
}

} // namespace rows

// One to-do row as read, before it becomes (or refreshes) an object.
class TodoRow {
public:
    qint64 key = 0;
    QUuid id;
    QString title, notes, listRaw, recurrenceRuleRaw;
    bool isCompleted = false;
    QDateTime completedAt, scheduledDate, createdAt;
    double sortOrder = 0;

    static TodoRow read(const sql::Statement &s) {
        TodoRow row;
        row.key = s.integer(0);
        row.id = QUuid::fromString(s.text(1));
        row.title = s.text(2);
        row.notes = s.text(3);
        row.isCompleted = s.integer(4) != 0;
        row.completedAt = sql::momentFrom(s, 5);
        row.scheduledDate = sql::momentFrom(s, 6);
        row.listRaw = s.text(7);
        row.sortOrder = s.real(8);
        row.createdAt = sql::momentFrom(s, 9);
        row.recurrenceRuleRaw = s.text(10);
        return row;
    }

    void applyTo(TodoItem &item) const {
        RecordAccess::silently(item, [&] {
            item.setId(id);
            item.setTitle(title);
            item.setNotes(notes);
            item.setCompleted(isCompleted);
            item.setCompletedAt(completedAt);
            item.setScheduledDate(scheduledDate);
            item.setListRaw(listRaw);
            item.setSortOrder(sortOrder);
            item.setCreatedAt(createdAt);
            item.setRecurrenceRuleRaw(recurrenceRuleRaw);
        });
    }
};

struct SubtaskRow {
    qint64 key = 0;
    QUuid id;
    QString title;
    bool isCompleted = false;
    double sortOrder = 0;
    QDateTime createdAt;

    static SubtaskRow read(const sql::Statement &s) {
        return {s.integer(0), QUuid::fromString(s.text(1)), s.text(2), s.integer(3) != 0,
                s.real(4),    sql::momentFrom(s, 5)};
    }
    void applyTo(Subtask &subtask) const {
        RecordAccess::silently(subtask, [&] {
            subtask.setId(id);
            subtask.setTitle(title);
            subtask.setCompleted(isCompleted);
            subtask.setSortOrder(sortOrder);
            subtask.setCreatedAt(createdAt);
        });
    }
};

struct ChangeRow {
    qint64 key = 0;
    QUuid id;
    QDateTime timestamp;
    QString kindRaw, detail;

    static ChangeRow read(const sql::Statement &s) {
        return {s.integer(0), QUuid::fromString(s.text(1)), sql::momentFrom(s, 2), s.text(3),
                s.text(4)};
    }
    void applyTo(ChangeEntry &entry) const {
        RecordAccess::silently(entry, [&] {
            entry.setId(id);
            entry.setTimestamp(timestamp);
            entry.setKindRaw(kindRaw);
            entry.setDetail(detail);
        });
    }
};

} // namespace qb
