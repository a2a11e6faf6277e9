#include "subtasklistmodel.h"

#include "models/todorowsmodel.h"

namespace qb {

QList<SubtaskPtr> shownSubtasks(const TodoItem &item) {
    return withoutDeleted(item.orderedSubtasks());
}

SubtaskListModel::SubtaskListModel(QObject *parent)
    : TodoCollectionModel(parent) {}

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
    : TodoCollectionModel(parent) {}

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
