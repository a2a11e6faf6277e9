#include "todorowsmodel.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "app/formatter.h"
#include "store/modelcontext.h"

#include <QQmlEngine>
#include <QScopedValueRollback>

namespace qb {

QObject *exposeToQml(const std::shared_ptr<Record> &record) {
    if (!record)
        return nullptr;
    QQmlEngine::setObjectOwnership(record.get(), QQmlEngine::CppOwnership);
    return record.get();
}

TodoItemPtr sharedTodo(QObject *object) {
    auto *item = qobject_cast<TodoItem *>(object);
    return item ? std::static_pointer_cast<TodoItem>(item->shared_from_this()) : nullptr;
}

TodoRowsModel::TodoRowsModel(QObject *parent)
    : DiffingListModel(parent) {}

void TodoRowsModel::setContext(ModelContext *context) {
    if (!replaceDependency(m_context, context))
        return;
    rebuild();
    emit dependenciesChanged();
}

void TodoRowsModel::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    if (m_environment)
        connect(m_environment, &Environment::todayChanged, this, &TodoRowsModel::dayChanged);
    rebuild();
    emit dependenciesChanged();
}

void TodoRowsModel::dayChanged() {
    rebuild();
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1), {OverdueRole});
}

QVariant TodoRowsModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows[index.row()];
    switch (role) {
    case TodoRole:
        return QVariant::fromValue(exposeToQml(row.item));
    case TodoIdRole:
        return row.item->id().toString(QUuid::WithoutBraces);
    case SectionRole:
        return row.section;
    case InDaySectionRole:
        return row.inDaySection;
    case TitleRole:
        return Formatter::title(row.item->title());
    case OverdueRole:
        return m_environment && Formatter::isOverdue(*row.item, m_environment->today());
    default:
        return {};
    }
}

QHash<int, QByteArray> TodoRowsModel::roleNames() const {
    return {{TodoRole, "todo"},          {TodoIdRole, "todoId"},
            {SectionRole, "section"},    {InDaySectionRole, "inDaySection"},
            {TitleRole, "displayTitle"}, {OverdueRole, "overdue"}};
}

void TodoRowsModel::setRows(const QList<Row> &rows, const QSet<const TodoItem *> &changed) {
    const QScopedValueRollback<bool> updating(m_updatingRows, true);
    const int countBefore = int(m_rows.size());
    applyRows(rows, [](const Row &row) { return row.item.get(); });

    for (qsizetype i = 0; i < rows.size(); ++i) {
        const bool moved =
            m_rows[i].section != rows[i].section || m_rows[i].inDaySection != rows[i].inDaySection;
        m_rows[i].section = rows[i].section;
        m_rows[i].inDaySection = rows[i].inDaySection;
        if (changed.contains(m_rows[i].item.get()))
            emit dataChanged(index(int(i)), index(int(i)));
        else if (moved)
            emit dataChanged(index(int(i)), index(int(i)), {SectionRole, InDaySectionRole});
    }
    if (countBefore != m_rows.size())
        emit countChanged();
}

TodoItemPtr TodoRowsModel::itemAt(int row) const {
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    return m_rows[row].item;
}

QObject *TodoRowsModel::todoAt(int row) const {
    return exposeToQml(itemAt(row));
}

int TodoRowsModel::indexOfId(const QString &id) const {
    const QUuid uuid = QUuid::fromString(id);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].item->id() == uuid)
            return int(i);
    }
    return -1;
}

} // namespace qb
