#include "tasklistmodel.h"

#include "app/taskservices.h"
#include "model/dayhelpers.h"
#include "model/stockqueries.h"
#include "store/livequery.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

#include <utility>

namespace qb {

namespace {

TodoFetch itemsFetch(TodoList list, const QDateTime &tomorrow) {
    TodoFetch request;
    request.predicate = list == TodoList::Today ? stockqueries::dueBy(tomorrow, distantFuture())
                                                : stockqueries::undated();
    request.sort = {{TodoSort::Field::SortOrder, true}, {TodoSort::Field::CreatedAt, true}};
    return request;
}

TodoFetch datedFetch(const QDateTime &tomorrow) {
    TodoFetch request;
    request.predicate = stockqueries::from(tomorrow, distantPast());
    request.sort = {{TodoSort::Field::ScheduledDate, true},
                    {TodoSort::Field::SortOrder, true},
                    {TodoSort::Field::CreatedAt, true}};
    return request;
}

} // namespace

TaskListModel::TaskListModel(QObject *parent)
    : TodoRowsModel(parent) {}

TaskListModel::~TaskListModel() = default;

void TaskListModel::setUndoCenter(UndoCenter *undoCenter) {
    if (replaceDependency(m_undoCenter, undoCenter))
        emit dependenciesChanged();
}

TaskServices TaskListModel::services() const {
    return {context(), environment(), m_undoCenter};
}

void TaskListModel::setListRaw(const QString &raw) {
    const TodoList list = todoListFromRaw(raw).value_or(TodoList::Today);
    if (m_list == list)
        return;
    m_list = list;
    rebuild();
    emit listChanged();
}

void TaskListModel::rebuild() {
    disconnect(m_contextChanged);
    m_items.reset();
    m_datedItems.reset();
    if (!ready()) {
        setRows({});
        return;
    }
    const QDateTime tomorrow = startOfNextDay(environment()->today(), environment()->calendar());
    const auto follow = [this](LiveQuery *query) {
        connect(query, &LiveQuery::resultsChanged, this, [this] { m_stale = true; });
        connect(query, &LiveQuery::rowsChanged, this, [this, query](const QList<int> &rows) {
            for (int row : rows)
                m_changed.insert(query->results().at(row).get());
            m_stale = true;
        });
    };
    m_items = std::make_unique<LiveQuery>(*context(), itemsFetch(m_list, tomorrow));
    follow(m_items.get());
    if (m_list == TodoList::Later) {
        m_datedItems = std::make_unique<LiveQuery>(*context(), datedFetch(tomorrow));
        follow(m_datedItems.get());
    }
    // Connected after the queries, so it runs once both have re-run: a to-do passing from one
    // query to the other is then one row move, not a removal followed by an insert.
    m_contextChanged = connect(context(), &ModelContext::objectsDidChange, this, [this] {
        if (m_stale)
            rebuildRows();
    });
    rebuildRows();
}

void TaskListModel::rebuildRows() {
    m_stale = false;
    QList<Row> rows;
    if (m_datedItems && !m_datedItems->results().isEmpty()) {
        const Formatter formatter = environment()->formatter();
        const auto sections = groupByDay(
            m_datedItems->results(),
            [](const TodoItemPtr &item) {
                return item->scheduledDate().isValid() ? item->scheduledDate() : item->createdAt();
            },
            environment()->calendar());
        for (const auto &section : sections) {
            const QString title = formatter.dayTitle(section.day);
            for (const auto &item : section.items)
                rows.append({item, title, true});
        }
        for (const auto &item : m_items->results())
            rows.append({item, QStringLiteral("Later"), false});
    } else if (m_items) {
        for (const auto &item : m_items->results())
            rows.append({item, QString(), false});
    }
    setRows(rows, std::exchange(m_changed, {}));
    emit rowsRebuilt();
}

int TaskListModel::mainCount() const {
    return m_items ? int(m_items->results().size()) : 0;
}

int TaskListModel::datedCount() const {
    return m_datedItems ? int(m_datedItems->results().size()) : 0;
}

void TaskListModel::add(const QString &title) {
    if (!ready() || title.trimmed().isEmpty())
        return;
    services().store().add(title, m_list);
}

void TaskListModel::moveToOtherList(QObject *todo) {
    if (!ready())
        return;
    // Moving between the lists offers no undo: the edit is dropped.
    (void)services().store().move(sharedTodo(todo),
                                  m_list == TodoList::Today ? TodoList::Later : TodoList::Today);
}

void TaskListModel::scheduleForToday(QObject *todo) {
    if (!ready())
        return;
    const TaskServices tasks = services();
    tasks.offer(tasks.store().schedule(sharedTodo(todo), environment()->today()));
}

void TaskListModel::moveMainRow(int from, int to) {
    if (!ready() || !m_items || from == to)
        return;
    services().store().reorder(m_items->results(), {from}, to);
}

} // namespace qb
