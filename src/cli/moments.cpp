#include "moments.h"

#include "model/calendar.h"
#include "model/dayhelpers.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace qb::cli {

namespace {

QTimeZone zoneOf(const Calendar &calendar) {
    const QTimeZone zone(calendar.timeZoneId().toUtf8());
    return zone.isValid() ? zone : QTimeZone(0);
}

} // namespace

Outcome<QDateTime> parseDay(const QString &text, bool allowNone, const QDateTime &now,
                            const Calendar &calendar) {
    if (text == u"today")
        return calendar.startOfDay(now);
    if (text == u"tomorrow")
        return startOfNextDay(now, calendar);
    if (allowNone && text == u"none")
        return QDateTime();
    static const QRegularExpression dayPattern(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const auto match = dayPattern.match(text);
    const QString expected = allowNone ? QStringLiteral("YYYY-MM-DD, today, tomorrow or none")
                                       : QStringLiteral("YYYY-MM-DD, today or tomorrow");
    if (!match.hasMatch())
        return CliError::badInput(QStringLiteral("not a day: \"%1\" (%2)").arg(text, expected));
    const auto day = calendar.dateFrom(match.captured(1).toInt(), match.captured(2).toInt(),
                                       match.captured(3).toInt());
    if (!day)
        return CliError::badInput(QStringLiteral("no such day: %1").arg(text));
    return *day;
}

Outcome<QDateTime> parseDateTime(const QString &text, const Calendar &calendar) {
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4}-\\d{2}-\\d{2})[T ](\\d{2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,3}))?)?"
        "(Z|([+-])(\\d{2}):?(\\d{2}))?$"));
    const auto match = pattern.match(text);
    const auto invalid = [&] {
        return CliError::badInput(QStringLiteral("not a date-time: \"%1\"").arg(text));
    };
    if (!match.hasMatch())
        return invalid();
    const QDate date = QDate::fromString(match.captured(1), Qt::ISODate);
    const QString fraction = match.captured(5).leftJustified(3, u'0');
    const QTime time(match.captured(2).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt(), fraction.toInt());
    if (!date.isValid() || !time.isValid())
        return invalid();
    QTimeZone zone = zoneOf(calendar);
    if (match.captured(6) == u"Z") {
        zone = QTimeZone(0);
    } else if (match.hasCaptured(7)) {
        const int hours = match.captured(8).toInt();
        const int minutes = match.captured(9).toInt();
        if (hours > 23 || minutes > 59)
            return invalid();
        const int sign = match.captured(7) == u"-" ? -1 : 1;
        zone = QTimeZone(sign * (hours * 3600 + minutes * 60));
    }
    const QDateTime moment(date, time, zone);
    if (!moment.isValid())
        return invalid();
    return moment.toUTC();
}

Outcome<QDateTime> parseDayOrDateTime(const QString &text, const QDateTime &now,
                                      const Calendar &calendar) {
    // Every DAY form is at most ten characters; a date-time is longer.
    if (text.size() <= 10)
        return parseDay(text, false, now, calendar);
    return parseDateTime(text, calendar);
}

QString formatMoment(const QDateTime &moment, const Calendar &calendar) {
    const int offset = zoneOf(calendar).offsetFromUtc(moment);
    const QDateTime local = moment.toUTC().addSecs(offset);
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
           (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace qb::cli
