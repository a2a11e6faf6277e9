#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <memory>

namespace qb {

class ModelContext;
class TodoItem;

// A deleted to-do, whole, as plain values: enough to rebuild it with the same identifiers.
struct TodoSnapshot {
    struct ChangeSnapshot {
        QUuid id;
        QString kindRaw;
        QString detail; // null when absent
        QDateTime timestamp;
        friend bool operator==(const ChangeSnapshot &, const ChangeSnapshot &) = default;
    };
    struct SubtaskSnapshot {
        QUuid id;
        QString title;
        bool isCompleted = false;
        double sortOrder = 0;
        QDateTime createdAt;
        friend bool operator==(const SubtaskSnapshot &, const SubtaskSnapshot &) = default;
    };

    QUuid id;
    QString title;
    QString notes;
    bool isCompleted = false;
    QDateTime completedAt;
    QDateTime scheduledDate;
    QString recurrenceRuleRaw; // null when absent
    QString listRaw;
    double sortOrder = 0;
    QDateTime createdAt;
    QList<ChangeSnapshot> changes;   // stored order
    QList<SubtaskSnapshot> subtasks; // stored order

    static TodoSnapshot of(const TodoItem &item);
    friend bool operator==(const TodoSnapshot &, const TodoSnapshot &) = default;
};

// Inserts the to-do, its change entries and its subtasks into the context with every stored
// field as in the snapshot: identifiers, the list and change kinds verbatim, even unknown ones.
std::shared_ptr<TodoItem> insertTodo(ModelContext &context, const TodoSnapshot &snapshot);

} // namespace qb
