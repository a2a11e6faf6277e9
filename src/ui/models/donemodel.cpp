#include "donemodel.h"

#include "app/environment.h"
#include "model/dayhelpers.h"
#include "store/livequery.h"

namespace qb {

DoneModel::DoneModel(QObject *parent)
    : TodoRowsModel(parent) {}

DoneModel::~DoneModel() = default;

void DoneModel::rebuild() {
    m_items.reset();
    m_wanted = pageSize;
    if (ready()) {
        m_items = std::make_unique<LiveQuery>(*context(), fetchFor(m_wanted));
        connect(m_items.get(), &LiveQuery::resultsChanged, this, [this] { rebuildRows(); });
        connect(m_items.get(), &LiveQuery::rowsChanged, this, [this](const QList<int> &changed) {
            QSet<const TodoItem *> items;
            for (int row : changed)
                items.insert(m_items->results().at(row).get());
            rebuildRows(items);
        });
    }
    rebuildRows();
}

TodoFetch DoneModel::fetchFor(int rows) const {
    TodoFetch request;
    request.predicate = TodoPredicate::isCompleted(true);
    request.sort = {{TodoSort::Field::CompletedAt, false}};
    request.limit = rows + 1;
    return request;
}

bool DoneModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && m_items && m_items->results().size() > m_wanted;
}

void DoneModel::fetchMore(const QModelIndex &parent) {
    if (!canFetchMore(parent))
        return;
    // Asked from inside a row change (a view reacting to an insert): load after it is done.
    if (isUpdatingRows()) {
        QMetaObject::invokeMethod(
            this, [this] { fetchMore({}); }, Qt::QueuedConnection);
        return;
    }
    m_wanted += pageSize;
    m_items->setFetch(fetchFor(m_wanted));
}

void DoneModel::rebuildRows(const QSet<const TodoItem *> &changed) {
    QList<Row> rows;
    if (m_items) {
        const Formatter formatter = environment()->formatter();
        // The extra row only says whether there is more; it is not shown yet.
        const QList<TodoItemPtr> shown = m_items->results().mid(0, m_wanted);
        const auto sections = groupByDay(
            shown,
            [](const TodoItemPtr &item) {
                return item->completedAt().isValid() ? item->completedAt() : item->createdAt();
            },
            environment()->calendar());
        for (const auto &section : sections) {
            const QString title = formatter.dayTitle(section.day);
            for (const auto &item : section.items)
                rows.append({item, title, true});
        }
    }
    setRows(rows, changed);
}

void DoneModel::reopen(QObject *todo) {
    if (ready())
        environment()->taskStore(*context()).toggleCompletion(sharedTodo(todo));
}

QVariant DoneModel::data(const QModelIndex &index, int role) const {
    if (role != CompletedTimeRole)
        return TodoRowsModel::data(index, role);
    const TodoItemPtr item = itemAt(index.row());
    if (!item || !environment() || !index.isValid())
        return {};
    return environment()->formatter().timeOfDay(item->completedAt());
}

QHash<int, QByteArray> DoneModel::roleNames() const {
    QHash<int, QByteArray> names = TodoRowsModel::roleNames();
    names.insert(CompletedTimeRole, "completedTime");
    return names;
}

} // namespace qb
