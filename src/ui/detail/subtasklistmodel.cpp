#include "subtasklistmodel.h"

#include "app/dependency.h"
#include "app/environment.h"
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
    const ChangeEntryPtr &entry = m_rows[index.row()];
    if (role == EntryRole)
        return QVariant::fromValue(exposeToQml(entry));
    if (role == WhenRole && m_environment)
        return m_environment->formatter().relativeTime(entry->timestamp());
    return {};
}

QHash<int, QByteArray> ChangeLogModel::roleNames() const {
    return {{EntryRole, "entry"}, {WhenRole, "when"}};
}

void ChangeLogModel::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    if (m_environment)
        connect(m_environment, &Environment::refreshed, this, &ChangeLogModel::timesChanged);
    timesChanged();
    emit environmentChanged();
}

void ChangeLogModel::timesChanged() {
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1), {WhenRole});
}

} // namespace qb
