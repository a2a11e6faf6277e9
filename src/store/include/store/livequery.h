#pragma once

#include "model/todoitem.h"
#include "model/todopredicate.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace qb {

class ModelContext;

// A fetch held by a view: re-runs whenever the context saves or merges remote changes, and
// reports only when the result (which records, in which order) actually changed. A failed
// fetch reads as an empty result.
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

private:
    QPointer<ModelContext> m_context;
    TodoFetch m_fetch;
    QList<TodoItemPtr> m_results;
};

} // namespace qb
