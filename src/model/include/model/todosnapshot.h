#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

namespace qb {

class TodoItem;

// A to-do, whole, as plain values: enough to rebuild it with the same identifiers (restore
// after delete, import) or to write it out (export) without holding its records.
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

} // namespace qb
