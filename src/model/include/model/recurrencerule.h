#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace qb {

class Calendar;

// A repeat rule: a plain value stored on a to-do as compact JSON text.
struct RecurrenceRule {
    enum class Frequency { Daily, Weekly, Monthly, Yearly };

    Frequency frequency = Frequency::Daily;
    QList<int> weekdays;           // 0 = Sunday … 6 = Saturday, in stored order
    std::optional<int> dayOfMonth; // 1-based; absent means 1
    bool lastDay = false;
    std::optional<int> month; // 0 = January … 11 = December; absent means 0

    friend bool operator==(const RecurrenceRule &, const RecurrenceRule &) = default;

    static QString rawValue(Frequency frequency);
    static std::optional<Frequency> frequencyFromRaw(const QString &raw);

    // Keys in a fixed order: frequency, weekdays, dayOfMonth, lastDay, month.
    QByteArray toJson() const;
    // Strict: a missing required key, a wrong type or an unknown frequency gives nullopt.
    static std::optional<RecurrenceRule> fromJson(const QByteArray &json);

    // The first admissible day on or after (includingStart) or after the day of `from`.
    QDateTime nextDate(const QDateTime &from, bool includingStart, const Calendar &calendar) const;
};

// "Does not repeat" for no rule.
QString description(const std::optional<RecurrenceRule> &rule, const Calendar &calendar);

} // namespace qb
