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
    if (m_app) {
        TodoFetch request;
        request.predicate = TodoPredicate::isCompleted(true);
        request.sort = {{TodoSort::Field::CompletedAt, false}};
        m_items = std::make_unique<LiveQuery>(m_app->context(), request);
        connect(m_items.get(), &LiveQuery::resultsChanged, this, &DoneModel::rebuildRows);
    }
    rebuildRows();
    emit appChanged();
}

void DoneModel::rebuildRows() {
    QList<Row> rows;
    if (m_items) {
        const Calendar &calendar = m_app->environment().calendar;
        const QDateTime now = m_app->now();
        const auto sections = groupByDay(
            m_items->results(),
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
    setRows(rows);
}

void DoneModel::reopen(QObject *todo) {
    auto *item = qobject_cast<TodoItem *>(todo);
    if (!m_app || !item)
        return;
    m_app->taskStore().toggleCompletion(
        std::static_pointer_cast<TodoItem>(item->shared_from_this()));
}

} // namespace qb
