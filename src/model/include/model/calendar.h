#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace qb {

// The user's calendar: a time zone and a locale over ICU. Every moment in the core is a UTC
// QDateTime; this type is the only place where moments become days, names and texts.
//
// Days are those of the proleptic Gregorian calendar, whatever the locale's own calendar
// system, like QDate's: one calendar for everything stored.
//
// Operations that the calendar cannot perform return std::nullopt rather than a made-up value;
// callers decide the fallback. Among them is making a date outside the years firstYear to
// lastYear, which no stored date may leave.
class Calendar {
public:
    enum class NameWidth { Full, Short, VeryShort };

    static constexpr int firstYear = 1;
    static constexpr int lastYear = 9999;

    // localeId is an ICU/POSIX locale name ("en_US", "de_DE"); timeZoneId an Olson id
    // ("America/New_York"). An unknown zone falls back to UTC, as ICU does.
    Calendar(const QString &localeId, const QString &timeZoneId);
    ~Calendar();
    Calendar(const Calendar &other);
    Calendar &operator=(const Calendar &other);
    Calendar(Calendar &&other) noexcept;
    Calendar &operator=(Calendar &&other) noexcept;

    // The user's environment: TZ and LANG / LC_ALL / LC_TIME as ICU reads them.
    static Calendar current();

    QString localeId() const;
    QString timeZoneId() const;

    QDateTime startOfDay(const QDateTime &moment) const;
    std::optional<QDateTime> addDays(const QDateTime &moment, int days) const;
    std::optional<QDateTime> addMonths(const QDateTime &moment, int months) const;
    bool isSameDay(const QDateTime &a, const QDateTime &b) const;

    // 1 = Sunday … 7 = Saturday, like the Gregorian calendar's weekday field.
    int weekday(const QDateTime &moment) const;
    int year(const QDateTime &moment) const;
    int month(const QDateTime &moment) const; // 1 … 12
    int day(const QDateTime &moment) const;   // 1 … 31

    // month is 1-based. nullopt when the calendar cannot tell.
    std::optional<int> daysInMonth(int year, int month) const;
    // Start of the given day (month 1-based). nullopt for a day that does not exist.
    std::optional<QDateTime> dateFrom(int year, int month, int day) const;

    // Index 0 = Sunday … 6 = Saturday (weekdays); 0 = January … 11 = December (months).
    QStringList weekdayNames(NameWidth width) const;
    QStringList monthNames(NameWidth width) const;

    // Formats with an ICU skeleton ("EEEMMMd", "Md", "EEEEMMMd", "jm"), arranged per locale.
    QString format(const QDateTime &moment, const QString &skeleton) const;
    // 1st, 2nd, 31st in English; an empty string when the locale has no ordinal rules.
    QString ordinal(int number) const;
    // "yesterday", "2 hours ago", "in 3 days": named presentation with wide units.
    QString relativeTime(const QDateTime &moment, const QDateTime &now) const;

private:
    struct Data;
    explicit Calendar(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> d;
};

} // namespace qb
