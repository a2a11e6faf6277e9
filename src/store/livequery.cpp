#include "store/livequery.h"

#include "store/modelcontext.h"

namespace qb {

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
    if (fresh == m_results)
        return;
    m_results = std::move(fresh);
    emit resultsChanged();
}

} // namespace qb
