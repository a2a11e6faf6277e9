#include "repeatmenumodel.h"

#include "app/environment.h"
#include "store/modelcontext.h"

#include <algorithm>

namespace qb {

RepeatMenuModel::RepeatMenuModel(QObject *parent)
    : TodoMenuModel(parent) {}

void RepeatMenuModel::watch(TodoItem &todo) {
    connect(&todo, &TodoItem::recurrenceRuleRawChanged, this, &RepeatMenuModel::displayChanged);
}

bool RepeatMenuModel::isRepeating() const {
    return m_todo && m_todo->isRepeating();
}

QString RepeatMenuModel::storedFrequency() const {
    const auto rule = m_todo ? m_todo->recurrenceRule() : std::nullopt;
    return rule ? RecurrenceRule::rawValue(rule->frequency) : QString();
}

QString RepeatMenuModel::accessibleValue() const {
    if (!ready() || !isRepeating())
        return QStringLiteral("Off");
    return description(m_todo->recurrenceRule(), m_environment->calendar());
}

void RepeatMenuModel::load() {
    const Calendar &calendar = m_environment->calendar();
    const std::optional<RecurrenceRule> rule = m_todo->recurrenceRule();
    const QDateTime anchor =
        m_todo->scheduledDate().isValid() ? m_todo->scheduledDate() : m_environment->now();
    m_frequency = rule ? std::optional(rule->frequency) : std::nullopt;
    if (rule) {
        m_weekdays = rule->weekdays;
        std::sort(m_weekdays.begin(), m_weekdays.end());
        m_weekdays.erase(std::unique(m_weekdays.begin(), m_weekdays.end()), m_weekdays.end());
    } else {
        m_weekdays = {calendar.weekday(anchor) - 1};
    }
    m_dayOfMonth = rule && rule->dayOfMonth ? *rule->dayOfMonth : calendar.day(anchor);
    m_useLastDay = rule && rule->lastDay;
    m_month = rule && rule->month ? *rule->month : calendar.month(anchor) - 1;
    emit editorChanged();
}

QString RepeatMenuModel::frequency() const {
    return m_frequency ? RecurrenceRule::rawValue(*m_frequency) : QString();
}

QStringList RepeatMenuModel::weekdaySymbols() const {
    return m_environment ? m_environment->calendar().weekdayNames(Calendar::NameWidth::VeryShort)
                         : QStringList();
}

QStringList RepeatMenuModel::monthNames() const {
    return m_environment ? m_environment->calendar().monthNames(Calendar::NameWidth::Short)
                         : QStringList();
}

std::optional<RecurrenceRule> RepeatMenuModel::builtRule() const {
    if (!m_frequency)
        return std::nullopt;
    RecurrenceRule rule;
    rule.frequency = *m_frequency;
    switch (*m_frequency) {
    case RecurrenceRule::Frequency::Daily:
        break;
    case RecurrenceRule::Frequency::Weekly:
        rule.weekdays = m_weekdays;
        break;
    case RecurrenceRule::Frequency::Yearly:
        rule.month = m_month;
        [[fallthrough]];
    case RecurrenceRule::Frequency::Monthly:
        if (!m_useLastDay)
            rule.dayOfMonth = m_dayOfMonth;
        rule.lastDay = m_useLastDay;
        break;
    }
    return rule;
}

void RepeatMenuModel::selectFrequency(const QString &frequency) {
    if (!ready())
        return;
    const auto chosen = RecurrenceRule::frequencyFromRaw(frequency);
    if (!chosen && !frequency.isEmpty())
        return;
    m_frequency = chosen;
    if (chosen == RecurrenceRule::Frequency::Weekly && m_weekdays.isEmpty())
        m_weekdays = {m_environment->calendar().weekday(m_environment->now()) - 1};
    emit editorChanged();
    apply();
}

void RepeatMenuModel::chooseFrequency(const QString &frequency) {
    if (!usable())
        return;
    load();
    selectFrequency(frequency);
}

void RepeatMenuModel::toggleWeekday(int weekday) {
    if (weekday < 0 || weekday > 6)
        return;
    if (m_weekdays.contains(weekday)) {
        if (m_weekdays.size() >= 2)
            m_weekdays.removeAll(weekday);
    } else {
        m_weekdays.insert(std::lower_bound(m_weekdays.begin(), m_weekdays.end(), weekday), weekday);
    }
    emit editorChanged();
    apply();
}

void RepeatMenuModel::pickDay(int day) {
    if (day < 0 || day > 31)
        return;
    if (day == 0) {
        m_useLastDay = true;
    } else {
        m_useLastDay = false;
        m_dayOfMonth = day;
    }
    emit editorChanged();
    apply();
}

void RepeatMenuModel::pickMonth(int month) {
    if (month < 0 || month > 11)
        return;
    m_month = month;
    emit editorChanged();
    apply();
}

void RepeatMenuModel::apply() {
    if (usable())
        m_environment->taskStore(*m_context).setRepeat(m_todo, builtRule());
}

} // namespace qb
