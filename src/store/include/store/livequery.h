#pragma once

#include "model/todoitem.h"
#include "model/todopredicate.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>
#include <utility>

namespace qb {

class ModelContext;

// A fetch held by a view: re-runs whenever the context saves or merges remote changes, and
// reports only real changes: `resultsChanged` when which records it holds, or their order,
// changed; `rowsChanged` when records it kept changed a field a list shows or groups by. A
// failed fetch reads as an empty result.
class LiveQuery : public QObject {
    Q_OBJECT

public:
    LiveQuery(ModelContext &context, TodoFetch fetch, QObject *parent = nullptr);

    const QList<TodoItemPtr> &results() const { return m_results; }
    const TodoFetch &fetchRequest() const { return m_fetch; }
    void setFetch(TodoFetch fetch);
    void refresh();

signals:
    void resultsChanged();
    // Indices into results() of records that stayed but now show differently.
    void rowsChanged(const QList<int> &rows);

private:
    // What a row of any list draws or groups by. Subtask progress only counts once the
    // subtasks are loaded: a collection nobody read cannot have been shown.
    struct Shown {
        QString title;
        bool hasNotes = false;
        bool isCompleted = false;
        QDateTime completedAt;
        QDateTime scheduledDate;
        QString recurrenceRuleRaw;
        std::optional<std::pair<int, int>> subtaskProgress;

        static Shown of(const TodoItem &item);
        bool differsFrom(const Shown &other) const;
    };

    QPointer<ModelContext> m_context;
    TodoFetch m_fetch;
    QList<TodoItemPtr> m_results;
    QList<Shown> m_shown; // parallel to m_results
};

} // namespace qb
