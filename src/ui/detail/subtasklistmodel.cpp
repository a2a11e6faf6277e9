#include "subtasklistmodel.h"

#include "models/todorowsmodel.h"

namespace qb {

QList<SubtaskPtr> shownSubtasks(const TodoItem &item) {
    QList<SubtaskPtr> shown;
    for (const auto &subtask : item.orderedSubtasks()) {
        if (!subtask->isDeleted())
            shown.append(subtask);
    }
    return shown;
}

SubtaskListModel::SubtaskListModel(QObject *parent)
    : DiffingListModel(parent) {}

void SubtaskListModel::setTodo(QObject *todo) {
    TodoItemPtr shared = sharedTodo(todo);
    if (shared == m_todo)
        return;
    if (m_todo)
        disconnect(m_todo.get(), nullptr, this, nullptr);
    m_todo = std::move(shared);
    if (m_todo)
        connect(m_todo.get(), &TodoItem::subtasksChanged, this, &SubtaskListModel::refresh);
    refresh();
    emit todoChanged();
}

void SubtaskListModel::watch(const SubtaskPtr &subtask) {
    // A new sort order moves the row; connected once per subtask.
    connect(subtask.get(), &Subtask::sortOrderChanged, this, &SubtaskListModel::refresh,
            Qt::UniqueConnection);
}

void SubtaskListModel::refresh() {
    const int before = int(m_rows.size());
    const QList<SubtaskPtr> target = m_todo ? shownSubtasks(*m_todo) : QList<SubtaskPtr>();
    for (const auto &subtask : target)
        watch(subtask);
    applyRows(target, [](const SubtaskPtr &row) { return row.get(); });
    if (before != m_rows.size())
        emit countChanged();
}

QVariant SubtaskListModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SubtaskPtr &subtask = m_rows[index.row()];
    if (role == SubtaskRole)
        return QVariant::fromValue(exposeToQml(subtask));
    if (role == SubtaskIdRole)
        return subtask->id().toString(QUuid::WithoutBraces);
    return {};
}

QHash<int, QByteArray> SubtaskListModel::roleNames() const {
    return {{SubtaskRole, "subtask"}, {SubtaskIdRole, "subtaskId"}};
}

ChangeLogModel::ChangeLogModel(QObject *parent)
    : DiffingListModel(parent) {}

void ChangeLogModel::setTodo(QObject *todo) {
    TodoItemPtr shared = sharedTodo(todo);
    if (shared == m_todo)
        return;
    if (m_todo)
        disconnect(m_todo.get(), nullptr, this, nullptr);
    m_todo = std::move(shared);
    if (m_todo)
        connect(m_todo.get(), &TodoItem::changesChanged, this, &ChangeLogModel::refresh);
    refresh();
    emit todoChanged();
}

void ChangeLogModel::refresh() {
    const int before = int(m_rows.size());
    QList<ChangeEntryPtr> target;
    if (m_todo) {
        for (const auto &entry : m_todo->orderedChanges()) {
            if (!entry->isDeleted())
                target.append(entry);
        }
    }
    applyRows(target, [](const ChangeEntryPtr &row) { return row.get(); });
    if (before != m_rows.size())
        emit countChanged();
}

QVariant ChangeLogModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == EntryRole)
        return QVariant::fromValue(exposeToQml(m_rows[index.row()]));
    return {};
}

QHash<int, QByteArray> ChangeLogModel::roleNames() const {
    return {{EntryRole, "entry"}};
}

} // namespace qb
