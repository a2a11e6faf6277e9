#pragma once

#include "model/recurrencerule.h"
#include "model/todoitem.h"
#include "model/todolist.h"
#include "model/todopredicate.h"
#include "tasks/editundo.h"
#include "tasks/taskenvironment.h"
#include "tasks/todosnapshot.h"

#include <QList>

#include <optional>

namespace qb {

class ModelContext;

// The one place where to-dos, subtasks and change-log entries are created and changed. Each
// operation changes the records, logs what it did, saves and refreshes the widget. A failed
// save is silent: the change stays in the context for the next save. Views make a fresh
// TaskStore per action. A record that no longer belongs to the store is left alone.
class TaskStore {
public:
    TaskStore(ModelContext &context, const TaskEnvironment &environment);

    TodoItemPtr add(const QString &title, TodoList list);
    TodoItemPtr add(const QString &title, const QDateTime &scheduledDate);
    std::optional<EditUndo> setTitle(const TodoItemPtr &item, const QString &title);
    std::optional<EditUndo> setNotes(const TodoItemPtr &item, const QString &notes);
    std::optional<EditUndo> schedule(const TodoItemPtr &item, const QDateTime &date);
    std::optional<EditUndo> move(const TodoItemPtr &item, TodoList list);
    void setRepeat(const TodoItemPtr &item, const std::optional<RecurrenceRule> &rule);
    // Moves the rows at `sources` of the shown sequence before the row that stood at
    // `destination`, then numbers the sequence 0, 1, 2, …
    void reorder(const QList<TodoItemPtr> &shown, const QList<int> &sources, int destination);

    SubtaskPtr addSubtask(const TodoItemPtr &item, const QString &title);
    SubtaskPtr insertSubtask(const QString &title, const SubtaskPtr &after,
                             const TodoItemPtr &item);
    void toggleSubtask(const SubtaskPtr &subtask);
    bool renameSubtask(const SubtaskPtr &subtask, const QString &title);
    void deleteSubtask(const SubtaskPtr &subtask);
    void reorderSubtasks(const QList<SubtaskPtr> &ordered);

    void toggleCompletion(const TodoItemPtr &item);

    // nullopt when the to-do is no longer in the store.
    std::optional<TodoSnapshot> remove(const TodoItemPtr &item);
    // Rebuilds the to-do with its identifiers; does nothing when one with that id exists.
    void restore(const TodoSnapshot &snapshot);
    void revert(const EditUndo &edit);

    // Retries a save that failed earlier (at quit, for instance).
    void saveUnsavedChanges();

    // The list-move rule used by reorder, exposed for views that preview a drag.
    static QList<int> movedOrder(int count, const QList<int> &sources, int destination);

private:
    void save();
    ChangeEntryPtr log(ChangeKind kind, const TodoItemPtr &item, const QString &detail = {});
    struct NextOccurrence {
        RecurrenceRule rule;
        QDateTime date;
        double sortOrder = 1.0;
        QList<SubtaskPtr> subtasks; // display order
    };

    TodoPredicate groupOf(const QDateTime &date) const;
    int groupIndex(const QDateTime &date) const; // undated 0, due 1, upcoming 2
    // One more than the largest sort order of the open group the date falls in; `excluded`
    // does not count (the item being completed).
    double nextSortOrder(const QDateTime &date, const TodoItem *excluded = nullptr);
    static double nextSubtaskSortOrder(const TodoItem &item);
    SubtaskPtr attachSubtask(const TodoItemPtr &item, const QString &title, double sortOrder);
    NextOccurrence planNextOccurrence(const TodoItem &item, const RecurrenceRule &rule);
    void spawnNextOccurrence(const TodoItem &item, const NextOccurrence &next);
    QDateTime startOfToday() const;
    QDateTime startOfTomorrow() const;

    ModelContext &m_context;
    TaskEnvironment m_environment;
};

} // namespace qb
