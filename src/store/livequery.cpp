#include "store/livequery.h"

#include "model/recordaccess.h"
#include "store/modelcontext.h"

#include <QHash>

namespace qb {

LiveQuery::Shown LiveQuery::Shown::of(const TodoItem &item) {
    Shown shown{item.title(),       item.hasNotes(),      item.isCompleted(),
                item.completedAt(), item.scheduledDate(), item.recurrenceRuleRaw(),
                std::nullopt};
    if (RecordAccess::subtasksLoaded(item))
        shown.subtaskProgress = item.subtaskProgress();
    return shown;
}

bool LiveQuery::Shown::differsFrom(const Shown &other) const {
    const bool progressDiffers =
        subtaskProgress && other.subtaskProgress && *subtaskProgress != *other.subtaskProgress;
    return progressDiffers || title != other.title || hasNotes != other.hasNotes ||
           isCompleted != other.isCompleted || completedAt != other.completedAt ||
           scheduledDate != other.scheduledDate || recurrenceRuleRaw != other.recurrenceRuleRaw;
}

LiveQuery::LiveQuery(ModelContext &context, TodoFetch fetch, QObject *parent)
    : QObject(parent)
    , m_context(&context)
    , m_fetch(std::move(fetch)) {
    connect(&context, &ModelContext::objectsDidChange, this, &LiveQuery::refresh);
    refresh();
}

void LiveQuery::setFetch(TodoFetch fetch) {
    m_fetch = std::move(fetch);
    refresh();
}

void LiveQuery::refresh() {
    if (!m_context)
        return;
    QList<TodoItemPtr> fresh = m_context->fetch(m_fetch).valueOr({});
    QHash<const TodoItem *, qsizetype> before;
    before.reserve(m_results.size());
    for (qsizetype i = 0; i < m_results.size(); ++i)
        before.insert(m_results[i].get(), i);

    QList<Shown> shown;
    shown.reserve(fresh.size());
    QList<int> changedRows;
    for (qsizetype i = 0; i < fresh.size(); ++i) {
        shown.append(Shown::of(*fresh[i]));
        const auto kept = before.constFind(fresh[i].get());
        if (kept != before.constEnd() && shown.last().differsFrom(m_shown[*kept]))
            changedRows.append(int(i));
    }

    const bool resultsDiffer = fresh != m_results;
    m_results = std::move(fresh);
    m_shown = std::move(shown);
    if (resultsDiffer)
        emit resultsChanged();
    if (!changedRows.isEmpty())
        emit rowsChanged(changedRows);
}

} // namespace qb
