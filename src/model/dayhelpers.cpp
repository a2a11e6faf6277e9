#include "model/dayhelpers.h"

#include "model/calendar.h"

namespace qb {

namespace {

constexpr qint64 secondsPerDay = 86400;

QString relativeWordOr(const QDateTime &date, const QDateTime &now, const Calendar &calendar,
                       const QString &skeleton) {
    if (!date.isValid())
        return QStringLiteral("Someday");
    const QDateTime today = calendar.startOfDay(now);
    const QDateTime day = calendar.startOfDay(date);
    if (day == today)
        return QStringLiteral("Today");
    if (day == startOfNextDay(now, calendar))
        return QStringLiteral("Tomorrow");
    if (const auto yesterday = calendar.addDays(today, -1);
        yesterday && day == calendar.startOfDay(*yesterday))
        return QStringLiteral("Yesterday");
    return calendar.format(date, skeleton);
}

} // namespace

QDateTime startOfNextDay(const QDateTime &moment, const Calendar &calendar) {
    const QDateTime next = calendar.addDays(moment, 1).value_or(moment.addSecs(secondsPerDay));
    return calendar.startOfDay(next);
}

QString dayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar) {
    return relativeWordOr(date, now, calendar, QStringLiteral("EEEMMMd"));
}

QString dayTitle(const QDateTime &day, const QDateTime &now, const Calendar &calendar) {
    return relativeWordOr(day, now, calendar, QStringLiteral("EEEEMMMd"));
}

QString shortDayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar) {
    return relativeWordOr(date, now, calendar, QStringLiteral("Md"));
}

} // namespace qb
