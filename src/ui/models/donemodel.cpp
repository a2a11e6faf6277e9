#include "donemodel.h"

#include "app/quillbrookapp.h"
#include "model/dayhelpers.h"
#include "store/livequery.h"

namespace qb {

DoneModel::DoneModel(QObject *parent)
    : TodoRowsModel(parent) {}

DoneModel::~DoneModel() = default;

void DoneModel::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    m_app = app;
    m_items.reset();
    m_wanted = pageSize;
    if (m_app) {
        m_items = std::make_unique<LiveQuery>(m_app->context(), fetchFor(m_wanted));
        connect(m_items.get(), &LiveQuery::resultsChanged, this, [this] { rebuildRows(); });
        connect(m_items.get(), &LiveQuery::rowsChanged, this, [this](const QList<int> &changed) {
            QSet<const TodoItem *> items;
            for (int row : changed)
                items.insert(m_items->results().at(row).get());
            rebuildRows(items);
        });
    }
    rebuildRows();
    emit appChanged();
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
        const Calendar &calendar = m_app->environment().calendar;
        const QDateTime now = m_app->now();
        // The extra row only says whether there is more; it is not shown yet.
        const QList<TodoItemPtr> shown = m_items->results().mid(0, m_wanted);
        const auto sections = groupByDay(
            shown,
            [](const TodoItemPtr &item) {
                return item->completedAt().isValid() ? item->completedAt() : item->createdAt();
            },
            calendar);
        for (const auto &section : sections) {
            const QString title = dayTitle(section.day, now, calendar);
            for (const auto &item : section.items)
                rows.append({item, title, true});
        }
    }
    setRows(rows, changed);
}

void DoneModel::reopen(QObject *todo) {
    if (m_app)
        m_app->taskStore().toggleCompletion(sharedTodo(todo));
}

} // namespace qb
