#pragma once

#include "model/todoitem.h"
#include "models/diffinglistmodel.h"

#include <QPointer>

#include <qqmlregistration.h>

namespace qb {

// The subtasks a to-do shows, in display order: deleted ones that are not yet saved are left
// out, so row numbers in the list and in moves agree.
QList<SubtaskPtr> shownSubtasks(const TodoItem &item);

// A to-do's subtasks in display order (ascending sort order), following additions, removals,
// renumbering and outside changes with row-level updates.
class SubtaskListModel : public DiffingListModel<SubtaskPtr> {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(int count READ countProperty NOTIFY countChanged)

public:
    enum Role { SubtaskRole = Qt::UserRole + 1, SubtaskIdRole };

    explicit SubtaskListModel(QObject *parent = nullptr);

    QObject *todo() const { return m_todo.get(); }
    void setTodo(QObject *todo);
    int countProperty() const { return int(m_rows.size()); }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void todoChanged();
    void countChanged();

private:
    void refresh();
    void watch(const SubtaskPtr &subtask);

    TodoItemPtr m_todo;
};

// A to-do's change log, newest first.
class ChangeLogModel : public DiffingListModel<ChangeEntryPtr> {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(int count READ countProperty NOTIFY countChanged)

public:
    enum Role { EntryRole = Qt::UserRole + 1 };

    explicit ChangeLogModel(QObject *parent = nullptr);

    QObject *todo() const { return m_todo.get(); }
    void setTodo(QObject *todo);
    int countProperty() const { return int(m_rows.size()); }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void todoChanged();
    void countChanged();

private:
    void refresh();

    TodoItemPtr m_todo;
};

} // namespace qb
