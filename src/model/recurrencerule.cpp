#include "model/recurrencerule.h"

#include "model/calendar.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qb {

namespace {

constexpr int weeklySearchDays = 371;
constexpr int monthlySearchMonths = 24;
constexpr int yearlySearchYears = 8;
constexpr int unknownMonthLength = 28;

bool isWeekdayIndex(int value) {
    return value >= 0 && value <= 6;
}

std::optional<int> integerFrom(const QJsonValue &value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

// Reads an optional integer key: missing or null is absent, anything but an integer fails.
bool readOptionalInteger(const QJsonObject &object, const char *key, std::optional<int> &out) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) {
        out.reset();
        return true;
    }
    out = integerFrom(value);
    return out.has_value();
}

// The day a monthly or yearly rule wants in a month of `length` days.
int wantedDay(const RecurrenceRule &rule, int length) {
    if (rule.lastDay)
        return length;
    return std::clamp(rule.dayOfMonth.value_or(1), 1, length);
}

// The day number a description names: the one nextDate uses when the month is long enough, so
// a day below 1 reads as the 1st, like the clamp in wantedDay.
int describedDay(const RecurrenceRule &rule) {
    return std::max(rule.dayOfMonth.value_or(1), 1);
}

int monthLength(const Calendar &calendar, int year, int month) {
    return calendar.daysInMonth(year, month).value_or(unknownMonthLength);
}

} // namespace

QString RecurrenceRule::rawValue(Frequency frequency) {
    switch (frequency) {
    case Frequency::Daily:
        return QStringLiteral("daily");
    case Frequency::Weekly:
        return QStringLiteral("weekly");
    case Frequency::Monthly:
        return QStringLiteral("monthly");
    case Frequency::Yearly:
        return QStringLiteral("yearly");
    }
    return {};
}

std::optional<RecurrenceRule::Frequency> RecurrenceRule::frequencyFromRaw(const QString &raw) {
    for (Frequency f :
         {Frequency::Daily, Frequency::Weekly, Frequency::Monthly, Frequency::Yearly}) {
        if (raw == rawValue(f))
            return f;
    }
    return std::nullopt;
}

QByteArray RecurrenceRule::toJson() const {
    // QJsonObject sorts its keys, so the stored order is written by hand.
    QByteArray json = R"({"frequency":")" + rawValue(frequency).toUtf8() + R"(","weekdays":[)";
    for (qsizetype i = 0; i < weekdays.size(); ++i) {
        if (i > 0)
            json += ',';
        json += QByteArray::number(weekdays[i]);
    }
    json += ']';
    if (dayOfMonth)
        json += R"(,"dayOfMonth":)" + QByteArray::number(*dayOfMonth);
    json += lastDay ? R"(,"lastDay":true)" : R"(,"lastDay":false)";
    if (month)
        json += R"(,"month":)" + QByteArray::number(*month);
    json += '}';
    return json;
}

std::optional<RecurrenceRule> RecurrenceRule::fromJson(const QByteArray &json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    RecurrenceRule rule;
    const QJsonValue frequency = object.value(QLatin1String("frequency"));
    if (!frequency.isString())
        return std::nullopt;
    const auto parsedFrequency = frequencyFromRaw(frequency.toString());
    if (!parsedFrequency)
        return std::nullopt;
    rule.frequency = *parsedFrequency;

    const QJsonValue weekdays = object.value(QLatin1String("weekdays"));
    if (!weekdays.isArray())
        return std::nullopt;
    for (const QJsonValue &entry : weekdays.toArray()) {
        const auto day = integerFrom(entry);
        if (!day)
            return std::nullopt;
        rule.weekdays.append(*day);
    }

    const QJsonValue lastDay = object.value(QLatin1String("lastDay"));
    if (!lastDay.isBool())
        return std::nullopt;
    rule.lastDay = lastDay.toBool();

    if (!readOptionalInteger(object, "dayOfMonth", rule.dayOfMonth) ||
        !readOptionalInteger(object, "month", rule.month))
        return std::nullopt;
    return rule;
}

QDateTime RecurrenceRule::nextDate(const QDateTime &from, bool includingStart,
                                   const Calendar &calendar) const {
    const QDateTime start = calendar.startOfDay(from);
    const auto admissible = [&](const QDateTime &candidate) {
        return includingStart ? candidate >= start : candidate > start;
    };

    switch (frequency) {
    case Frequency::Daily:
        if (includingStart)
            return start;
        return calendar.addDays(start, 1).value_or(start);

    case Frequency::Weekly: {
        // Out-of-range entries can never match; a rule left with no usable weekday behaves
        // like an empty one and repeats on the start's weekday.
        QList<int> wanted;
        for (int day : weekdays) {
            if (isWeekdayIndex(day))
                wanted.append(day);
        }
        if (wanted.isEmpty())
            wanted.append(calendar.weekday(start) - 1);
        for (int offset = includingStart ? 0 : 1; offset <= weeklySearchDays; ++offset) {
            const auto candidate = calendar.addDays(start, offset);
            if (candidate && wanted.contains(calendar.weekday(*candidate) - 1))
                return calendar.startOfDay(*candidate);
        }
        return start;
    }

    case Frequency::Monthly: {
        const auto firstOfMonth = calendar.dateFrom(calendar.year(start), calendar.month(start), 1);
        if (!firstOfMonth)
            return start;
        for (int i = 0; i <= monthlySearchMonths; ++i) {
            const auto m = calendar.addMonths(*firstOfMonth, i);
            if (!m)
                continue;
            const int y = calendar.year(*m);
            const int mo = calendar.month(*m);
            const auto candidate =
                calendar.dateFrom(y, mo, wantedDay(*this, monthLength(calendar, y, mo)));
            if (candidate && admissible(*candidate))
                return *candidate;
        }
        return start;
    }

    case Frequency::Yearly: {
        const int targetMonth = std::clamp(month.value_or(0), 0, 11) + 1;
        const int startYear = calendar.year(start);
        for (int k = 0; k <= yearlySearchYears; ++k) {
            const int y = startYear + k;
            const auto candidate = calendar.dateFrom(
                y, targetMonth, wantedDay(*this, monthLength(calendar, y, targetMonth)));
            if (candidate && admissible(*candidate))
                return *candidate;
        }
        return start;
    }
    }
    return start;
}

QString description(const std::optional<RecurrenceRule> &rule, const Calendar &calendar) {
    if (!rule)
        return QStringLiteral("Does not repeat");

    switch (rule->frequency) {
    case RecurrenceRule::Frequency::Daily:
        return QStringLiteral("Every day");

    case RecurrenceRule::Frequency::Weekly: {
        QList<int> days;
        for (int day : rule->weekdays) {
            if (isWeekdayIndex(day))
                days.append(day);
        }
        std::sort(days.begin(), days.end());
        QString phrase;
        if (days.isEmpty()) {
            phrase = QStringLiteral("the chosen day");
        } else if (days.size() == 1) {
            phrase = calendar.weekdayNames(Calendar::NameWidth::Full).at(days.first()) + u's';
        } else if (days.size() == 7) {
            phrase = QStringLiteral("every day");
        } else {
            const QStringList names = calendar.weekdayNames(Calendar::NameWidth::Short);
            QStringList picked;
            for (int day : days)
                picked.append(names.at(day));
            phrase = picked.join(QStringLiteral(", "));
        }
        return QStringLiteral("Weekly on ") + phrase;
    }

    case RecurrenceRule::Frequency::Monthly: {
        if (rule->lastDay)
            return QStringLiteral("Monthly on the last day");
        const int day = describedDay(*rule);
        QString number = calendar.ordinal(day);
        if (number.isEmpty())
            number = QString::number(day);
        return QStringLiteral("Monthly on the ") + number;
    }

    case RecurrenceRule::Frequency::Yearly: {
        const int index = std::clamp(rule->month.value_or(0), 0, 11);
        const QString monthName = calendar.monthNames(Calendar::NameWidth::Full).at(index);
        if (rule->lastDay)
            return QStringLiteral("Every year on the last day of ") + monthName;
        return QStringLiteral("Every year on ") + monthName + u' ' +
               QString::number(describedDay(*rule));
    }
    }
    return QStringLiteral("Does not repeat");
}

} // namespace qb
