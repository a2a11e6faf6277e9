#include "sync/recurrencemapping.h"

#include <libical/ical.h>

#include <QStringList>

namespace qb::sync {

namespace {

using Frequency = RecurrenceRule::Frequency;

const char *const weekdayCodes[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// The values of a libical BY… array up to its end marker.
template <std::size_t N> QList<short> valuesOf(const short (&array)[N]) {
    QList<short> values;
    for (std::size_t i = 0; i < N && array[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        values.append(array[i]);
    return values;
}

// One month day our rules can say: 1 … 31 or the last day.
bool isExpressibleDay(short day) {
    return (day >= 1 && day <= 31) || day == -1;
}

// The one month day of a monthly or yearly rule: the rule's own when it names one we can say,
// else the day it starts on. Exact only when the rule names exactly that one day.
bool setMonthDay(RecurrenceRule &rule, const QList<short> &monthDays, const QDate &start) {
    const bool named = !monthDays.isEmpty() && isExpressibleDay(monthDays.first());
    const short day = named ? monthDays.first() : short(start.day());
    rule.lastDay = day == -1;
    rule.dayOfMonth = rule.lastDay ? std::nullopt : std::optional<int>(day);
    return named && monthDays.size() == 1;
}

} // namespace

MappedRule ruleFromRecurrence(const icalrecurrencetype &r, const QDate &anchor) {
    MappedRule mapped;
    RecurrenceRule &rule = mapped.rule;
    const QList<short> days = valuesOf(r.by_day);
    const QList<short> monthDays = valuesOf(r.by_month_day);
    const QList<short> months = valuesOf(r.by_month);
    // Parts none of our rules use make any frequency inexact.
    mapped.exact = r.interval <= 1 && r.count == 0 && icaltime_is_null_time(r.until) &&
                   valuesOf(r.by_second).isEmpty() && valuesOf(r.by_minute).isEmpty() &&
                   valuesOf(r.by_hour).isEmpty() && valuesOf(r.by_year_day).isEmpty() &&
                   valuesOf(r.by_week_no).isEmpty() && valuesOf(r.by_set_pos).isEmpty();
    const QDate day = anchor.isValid() ? anchor : QDate(2000, 1, 1);

    switch (r.freq) {
    case ICAL_WEEKLY_RECURRENCE:
        rule.frequency = Frequency::Weekly;
        for (short code : days) {
            // Plain weekdays only; "every 2nd Monday" has a position.
            if (icalrecurrencetype_day_position(code) != 0)
                mapped.exact = false;
            rule.weekdays.append(int(icalrecurrencetype_day_day_of_week(code)) - 1);
        }
        mapped.exact = mapped.exact && monthDays.isEmpty() && months.isEmpty();
        break;
    case ICAL_MONTHLY_RECURRENCE:
        rule.frequency = Frequency::Monthly;
        mapped.exact =
            setMonthDay(rule, monthDays, day) && mapped.exact && days.isEmpty() && months.isEmpty();
        break;
    case ICAL_YEARLY_RECURRENCE:
        rule.frequency = Frequency::Yearly;
        mapped.exact = setMonthDay(rule, monthDays, day) && mapped.exact && days.isEmpty() &&
                       months.size() == 1;
        rule.month =
            (!months.isEmpty() && months.first() >= 1 && months.first() <= 12 ? months.first()
                                                                              : day.month()) -
            1;
        break;
    case ICAL_DAILY_RECURRENCE:
        rule.frequency = Frequency::Daily;
        mapped.exact = mapped.exact && days.isEmpty() && monthDays.isEmpty() && months.isEmpty();
        break;
    default:
        // Hourly and finer: the nearest rule that repeats is daily.
        rule.frequency = Frequency::Daily;
        mapped.exact = false;
        break;
    }
    return mapped;
}

QByteArray recurrenceText(const RecurrenceRule &rule) {
    const auto monthDay = [&rule] {
        return rule.lastDay ? QByteArray("-1") : QByteArray::number(rule.dayOfMonth.value_or(1));
    };
    switch (rule.frequency) {
    case Frequency::Daily:
        return "FREQ=DAILY";
    case Frequency::Weekly: {
        QList<QByteArray> codes;
        for (int weekday : rule.weekdays) {
            if (weekday >= 0 && weekday <= 6)
                codes.append(weekdayCodes[weekday]);
        }
        return codes.isEmpty() ? QByteArray("FREQ=WEEKLY") : "FREQ=WEEKLY;BYDAY=" + codes.join(',');
    }
    case Frequency::Monthly:
        return "FREQ=MONTHLY;BYMONTHDAY=" + monthDay();
    case Frequency::Yearly:
        return "FREQ=YEARLY;BYMONTH=" + QByteArray::number(rule.month.value_or(0) + 1) +
               ";BYMONTHDAY=" + monthDay();
    }
    return "FREQ=DAILY";
}

QString canonicalRule(const QString &ruleRaw) {
    const auto rule = ruleRaw.isNull() ? std::nullopt : RecurrenceRule::fromJson(ruleRaw.toUtf8());
    if (!rule)
        return {};
    const icalrecurrencetype parsed =
        icalrecurrencetype_from_string(recurrenceText(*rule).constData());
    return QString::fromUtf8(ruleFromRecurrence(parsed, QDate()).rule.toJson());
}

} // namespace qb::sync
