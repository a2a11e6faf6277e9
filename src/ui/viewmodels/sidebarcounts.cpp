#include "sidebarcounts.h"

#include "app/quillbrookapp.h"
#include "model/stockqueries.h"
#include "store/modelcontext.h"

namespace qb {

SidebarCounts::SidebarCounts(QObject *parent)
    : QObject(parent) {}

void SidebarCounts::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    if (m_app)
        disconnect(&m_app->context(), nullptr, this, nullptr);
    m_app = app;
    if (m_app)
        connect(&m_app->context(), &ModelContext::objectsDidChange, this, &SidebarCounts::recount);
    recount();
    emit appChanged();
}

void SidebarCounts::setReferenceDay(const QDateTime &day) {
    if (m_referenceDay == day)
        return;
    m_referenceDay = day;
    recount();
    emit referenceDayChanged();
}

void SidebarCounts::recount() {
    int today = 0;
    int later = 0;
    if (m_app) {
        const QDateTime day = m_referenceDay.isValid() ? m_referenceDay : m_app->startOfToday();
        const Calendar &calendar = m_app->environment().calendar;
        // A failed count reads as 0, which hides the badge.
        today = m_app->context().count(stockqueries::todayList(day, calendar)).valueOr(0);
        later = m_app->context().count(stockqueries::laterList(day, calendar)).valueOr(0);
    }
    if (today == m_today && later == m_later)
        return;
    m_today = today;
    m_later = later;
    emit countsChanged();
}

} // namespace qb
