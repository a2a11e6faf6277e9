#pragma once

#include "model/todoitem.h"
#include "models/diffinglistmodel.h"
#include "models/todorowsmodel.h"

namespace qb {

// Deleted records stay in their to-do's collections until the next save; no list shows them.
template <typename Row> QList<Row> withoutDeleted(const QList<Row> &rows) {
    QList<Row> shown;
    for (const Row &row : rows) {
        if (!row->isDeleted())
            shown.append(row);
    }
    return shown;
}

// One of a to-do's collections as rows, diffed in whenever the to-do reports it changed.
// `Derived` names the collection: `collectionChanged` (a TodoItem signal), `shownRows` (the
// rows in display order) and, when a row can move on its own, `rowMoved` (a row signal). It
// declares the `todoChanged` and `countChanged` signals this emits.
template <typename Row, typename Derived> class TodoCollectionModel : public DiffingListModel<Row> {
public:
    using DiffingListModel<Row>::DiffingListModel;

    QObject *todo() const { return m_todo.get(); }
    int countProperty() const { return int(this->m_rows.size()); }

    void setTodo(QObject *todo) {
        TodoItemPtr shared = sharedTodo(todo);
        if (shared == m_todo)
            return;
        if (m_todo)
            QObject::disconnect(m_todo.get(), nullptr, this, nullptr);
        m_todo = std::move(shared);
        if (m_todo)
            QObject::connect(m_todo.get(), Derived::collectionChanged, this,
                             &TodoCollectionModel::refresh);
        refresh();
        emit self().todoChanged();
    }

private:
    TodoItemPtr m_todo;

    Derived &self() { return static_cast<Derived &>(*this); }

    void refresh() {
        const int before = int(this->m_rows.size());
        const QList<Row> target = m_todo ? Derived::shownRows(*m_todo) : QList<Row>();
        if constexpr (requires { Derived::rowMoved; }) {
            // Connected once per row, however often the list is refreshed.
            for (const Row &row : target)
                QObject::connect(row.get(), Derived::rowMoved, this, &TodoCollectionModel::refresh,
                                 Qt::UniqueConnection);
        }
        this->applyRows(target, [](const Row &row) { return row.get(); });
        if (before != this->m_rows.size())
            emit self().countChanged();
    }
};

} // namespace qb
