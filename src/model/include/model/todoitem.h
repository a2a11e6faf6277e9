#pragma once

#include "model/changeentry.h"
#include "model/record.h"
#include "model/recurrencerule.h"
#include "model/subtask.h"
#include "model/todolist.h"

#include <QDateTime>
#include <QList>
#include <QUuid>

#include <optional>
#include <utility>

namespace qb {

// One to-do. Optional dates are invalid QDateTimes when absent; optional texts are null
// QStrings when absent. Relations are loaded from the store when first read.
class TodoItem : public Record {
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id NOTIFY idChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString notes READ notes WRITE setNotes NOTIFY notesChanged)
    Q_PROPERTY(bool isCompleted READ isCompleted WRITE setCompleted NOTIFY isCompletedChanged)
    Q_PROPERTY(QDateTime completedAt READ completedAt NOTIFY completedAtChanged)
    Q_PROPERTY(QDateTime scheduledDate READ scheduledDate NOTIFY scheduledDateChanged)
    Q_PROPERTY(QString listRaw READ listRaw NOTIFY listRawChanged)
    Q_PROPERTY(double sortOrder READ sortOrder NOTIFY sortOrderChanged)
    Q_PROPERTY(QDateTime createdAt READ createdAt NOTIFY createdAtChanged)
    Q_PROPERTY(QString recurrenceRuleRaw READ recurrenceRuleRaw NOTIFY recurrenceRuleRawChanged)
    Q_PROPERTY(bool hasNotes READ hasNotes NOTIFY notesChanged)
    Q_PROPERTY(bool isRepeating READ isRepeating NOTIFY recurrenceRuleRawChanged)
    Q_PROPERTY(int subtaskCount READ subtaskCount NOTIFY subtasksChanged)
    Q_PROPERTY(int changeCount READ changeCount NOTIFY changesChanged)

public:
    // A new to-do gets a fresh id; the store passes a null one for rows it reads, whose stored
    // id replaces it at once (random ids are not free).
    TodoItem(const QString &title, TodoList list, const QDateTime &scheduledDate, double sortOrder,
             const QDateTime &createdAt, const QUuid &id = QUuid::createUuid());

    QUuid id() const { return m_id; }
    void setId(const QUuid &id);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString notes() const { return m_notes; }
    void setNotes(const QString &notes);
    bool isCompleted() const { return m_isCompleted; }
    void setCompleted(bool completed);
    QDateTime completedAt() const { return m_completedAt; }
    void setCompletedAt(const QDateTime &completedAt);
    QDateTime scheduledDate() const { return m_scheduledDate; }
    void setScheduledDate(const QDateTime &scheduledDate);
    QString listRaw() const { return m_listRaw; }
    void setListRaw(const QString &listRaw);
    double sortOrder() const { return m_sortOrder; }
    void setSortOrder(double sortOrder);
    QDateTime createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime &createdAt);
    QString recurrenceRuleRaw() const { return m_recurrenceRuleRaw; }
    void setRecurrenceRuleRaw(const QString &raw);

    // Decoded rule; an unreadable text reads as no rule and stays stored untouched.
    std::optional<RecurrenceRule> recurrenceRule() const;
    void setRecurrenceRule(const std::optional<RecurrenceRule> &rule);
    bool isRepeating() const { return recurrenceRule().has_value(); }

    // Relations: absent and empty read alike; `has…Collection` tells them apart.
    const QList<SubtaskPtr> &subtasks() const;
    bool hasSubtaskCollection() const;
    const QList<ChangeEntryPtr> &changes() const;

    // Makes an absent subtask collection present and empty.
    void createSubtaskCollection();
    // Links both sides: the child's owner and this to-do's collection.
    void addSubtask(const SubtaskPtr &subtask);
    void removeSubtask(const Subtask &subtask);
    void addChange(const ChangeEntryPtr &entry);
    void removeChange(const ChangeEntry &entry);

    QList<SubtaskPtr> orderedSubtasks() const;    // sortOrder ascending, stable
    QList<ChangeEntryPtr> orderedChanges() const; // newest first, stable
    bool hasNotes() const;
    bool hasSubtasks() const;
    int subtaskCount() const { return int(subtasks().size()); }
    int changeCount() const { return int(changes().size()); }
    std::pair<int, int> subtaskProgress() const; // (completed, total)

signals:
    void idChanged();
    void titleChanged();
    void notesChanged();
    void isCompletedChanged();
    void completedAtChanged();
    void scheduledDateChanged();
    void listRawChanged();
    void sortOrderChanged();
    void createdAtChanged();
    void recurrenceRuleRawChanged();
    void subtasksChanged();
    void changesChanged();

private:
    friend class RecordAccess;
    std::shared_ptr<TodoItem> sharedSelf();
    void ensureSubtasksLoaded() const;
    void ensureChangesLoaded() const;

    QUuid m_id;
    QString m_title;
    QString m_notes;
    bool m_isCompleted = false;
    QDateTime m_completedAt;
    QDateTime m_scheduledDate;
    QString m_listRaw;
    double m_sortOrder = 0;
    QDateTime m_createdAt;
    QString m_recurrenceRuleRaw;

    // nullopt = absent collection. Loaded flags are false only for records read from a store.
    std::optional<QList<SubtaskPtr>> m_subtasks;
    std::optional<QList<ChangeEntryPtr>> m_changes;
    bool m_subtasksLoaded = true;
    bool m_changesLoaded = true;
};

using TodoItemPtr = std::shared_ptr<TodoItem>;

} // namespace qb
