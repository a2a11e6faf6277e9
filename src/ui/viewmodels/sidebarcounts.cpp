#include "sidebarcounts.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "model/stockqueries.h"
#include "store/modelcontext.h"

namespace qb {

SidebarCounts::SidebarCounts(QObject *parent)
    : QObject(parent) {}

void SidebarCounts::setContext(ModelContext *context) {
    if (!replaceFollowed(m_context, context, this))
        return;
    if (m_context)
        connect(m_context, &ModelContext::objectsDidChange, this, &SidebarCounts::recount);
    recount();
    emit dependenciesChanged();
}

void SidebarCounts::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    if (m_environment)
        connect(m_environment, &Environment::todayChanged, this, &SidebarCounts::recount);
    recount();
    emit dependenciesChanged();
}

void SidebarCounts::recount() {
    int today = 0;
    int later = 0;
    if (m_context && m_environment) {
        const QDateTime day = m_environment->today();
        const Calendar &calendar = m_environment->calendar();
        // A failed count reads as 0, which hides the badge.
        today = m_context->count(stockqueries::todayList(day, calendar)).valueOr(0);
        later = m_context->count(stockqueries::laterList(day, calendar)).valueOr(0);
    }
    if (today == m_today && later == m_later)
        return;
    m_today = today;
    m_later = later;
    emit countsChanged();
}

} // namespace qb
