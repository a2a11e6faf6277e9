#include "whenmenumodel.h"

#include "app/taskservices.h"
#include "model/dayhelpers.h"

namespace qb {

WhenMenuModel::WhenMenuModel(QObject *parent)
    : TodoMenuModel(parent) {}

void WhenMenuModel::watch(TodoItem &todo) {
    connect(&todo, &TodoItem::scheduledDateChanged, this, &WhenMenuModel::displayChanged);
}

QDateTime WhenMenuModel::startOfToday() const {
    return m_environment->calendar().startOfDay(m_environment->now());
}

QDateTime WhenMenuModel::startOfTomorrow() const {
    return startOfNextDay(m_environment->now(), m_environment->calendar());
}

QString WhenMenuModel::label() const {
    if (!ready() || !m_todo)
        return {};
    return m_environment->formatter().shortDay(m_todo->scheduledDate());
}

QString WhenMenuModel::selectedOption() const {
    if (!ready() || !m_todo)
        return {};
    const QDateTime date = m_todo->scheduledDate();
    if (!date.isValid())
        return QStringLiteral("later");
    const Calendar &calendar = m_environment->calendar();
    if (calendar.isSameDay(date, startOfToday()))
        return QStringLiteral("today");
    if (calendar.isSameDay(date, startOfTomorrow()))
        return QStringLiteral("tomorrow");
    return {};
}

void WhenMenuModel::load() {
    const Calendar &calendar = m_environment->calendar();
    const QDateTime scheduled = m_todo ? m_todo->scheduledDate() : QDateTime();
    const QDateTime picked = scheduled.isValid() ? scheduled : startOfToday();
    m_pickedYear = calendar.year(picked);
    m_pickedMonth = calendar.month(picked);
    m_pickedDay = calendar.day(picked);
    emit pickedChanged();
    showMonth(m_pickedYear, m_pickedMonth);
}

void WhenMenuModel::showMonth(int year, int month) {
    if (m_shownYear == year && m_shownMonth == month)
        return;
    m_shownYear = year;
    m_shownMonth = month;
    emit shownMonthChanged();
}

// Browsing stops at the ends of the years a date can have.
void WhenMenuModel::showPreviousMonth() {
    if (m_shownYear <= Calendar::firstYear && m_shownMonth == 1)
        return;
    if (m_shownMonth == 1)
        showMonth(m_shownYear - 1, 12);
    else
        showMonth(m_shownYear, m_shownMonth - 1);
}

void WhenMenuModel::showNextMonth() {
    if (m_shownYear >= Calendar::lastYear && m_shownMonth == 12)
        return;
    if (m_shownMonth == 12)
        showMonth(m_shownYear + 1, 1);
    else
        showMonth(m_shownYear, m_shownMonth + 1);
}

QString WhenMenuModel::shownMonthTitle() const {
    if (!ready() || m_shownYear == 0)
        return {};
    const auto first = m_environment->calendar().dateFrom(m_shownYear, m_shownMonth, 1);
    return first ? m_environment->calendar().format(*first, QStringLiteral("yMMMM")) : QString();
}

QString WhenMenuModel::localeName() const {
    return m_environment ? m_environment->localeName() : QString();
}

bool WhenMenuModel::isToday(int year, int month, int day) const {
    if (!ready())
        return false;
    const Calendar &calendar = m_environment->calendar();
    const QDateTime today = startOfToday();
    return calendar.year(today) == year && calendar.month(today) == month &&
           calendar.day(today) == day;
}

void WhenMenuModel::pickToday() {
    if (ready())
        pick(startOfToday());
}

void WhenMenuModel::pickTomorrow() {
    if (ready())
        pick(startOfTomorrow());
}

void WhenMenuModel::pickLater() {
    pick(QDateTime());
}

void WhenMenuModel::pickDay(int year, int month, int day) {
    if (!ready() || (year == m_pickedYear && month == m_pickedMonth && day == m_pickedDay))
        return;
    const auto date = m_environment->calendar().dateFrom(year, month, day);
    if (!date)
        return;
    m_pickedYear = year;
    m_pickedMonth = month;
    m_pickedDay = day;
    emit pickedChanged();
    pick(*date);
}

void WhenMenuModel::pick(const QDateTime &date) {
    setPresented(false);
    if (!usable())
        return;
    const TaskServices tasks = services();
    tasks.offer(tasks.store().schedule(m_todo, date));
}

} // namespace qb
