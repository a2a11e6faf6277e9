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

// A cursor over ASCII text that reads fixed-width decimal fields.
class Scanner {
public:
    explicit Scanner(QByteArrayView text)
        : m_text(text) {}

    bool atEnd() const { return m_at == m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }
    bool skip(char c) {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    std::optional<int> digits(int count) {
        if (m_text.size() - m_at < count)
            return std::nullopt;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = m_text[m_at + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        m_at += count;
        return value;
    }
    // One to three digits of a fraction of a second, as milliseconds.
    std::optional<int> milliseconds() {
        int value = 0;
        int count = 0;
        while (count < 3 && peek() >= '0' && peek() <= '9') {
            value = value * 10 + (m_text[m_at++] - '0');
            ++count;
        }
        if (count == 0)
            return std::nullopt;
        for (; count < 3; ++count)
            value *= 10;
        return value;
    }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};

// The parts of YYYY-MM-DD[T ]HH:MM[:SS[.fff]][Z|±HH[:]MM[[:]SS]].
struct DateTimeText {
    QDate date;
    QTime time;
    std::optional<int> offsetSeconds; // none: local time in the calendar's zone
    bool yearZero = false;            // QDate has no year 0; the date is in year 1 then
};

std::optional<DateTimeText> split(QByteArrayView text) {
    Scanner in(text);
    const auto year = in.digits(4);
    if (!year || !in.skip('-'))
        return std::nullopt;
    const auto month = in.digits(2);
    if (!month || !in.skip('-'))
        return std::nullopt;
    const auto day = in.digits(2);
    if (!day || !(in.skip('T') || in.skip(' ')))
        return std::nullopt;
    const auto hour = in.digits(2);
    if (!hour || !in.skip(':'))
        return std::nullopt;
    const auto minute = in.digits(2);
    if (!minute)
        return std::nullopt;
    int second = 0;
    int millisecond = 0;
    if (in.skip(':')) {
        const auto seconds = in.digits(2);
        if (!seconds)
            return std::nullopt;
        second = *seconds;
        if (in.skip('.')) {
            const auto fraction = in.milliseconds();
            if (!fraction)
                return std::nullopt;
            millisecond = *fraction;
        }
    }
    DateTimeText parts{QDate(std::max(*year, 1), *month, *day),
                       QTime(*hour, *minute, second, millisecond), std::nullopt, *year == 0};
    if (!parts.date.isValid() || !parts.time.isValid())
        return std::nullopt;
    if (in.skip('Z')) {
        parts.offsetSeconds = 0;
    } else if (in.peek() == '+' || in.peek() == '-') {
        const int sign = in.peek() == '-' ? -1 : 1;
        in.skip(sign < 0 ? '-' : '+');
        const auto hours = in.digits(2);
        const bool colon = in.skip(':');
        const auto minutes = in.digits(2);
        if (!hours || !minutes || *hours > 23 || *minutes > 59)
            return std::nullopt;
        int seconds = 0;
        if (!in.atEnd()) {
            // Seconds only in the form the minutes took, with or without the colon.
            if (colon != in.skip(':'))
                return std::nullopt;
            const auto parsed = in.digits(2);
            if (!parsed || *parsed > 59)
                return std::nullopt;
            seconds = *parsed;
        }
        parts.offsetSeconds = sign * (*hours * 3600 + *minutes * 60 + seconds);
    }
    if (!in.atEnd())
        return std::nullopt;
    return parts;
}

// Writes `value` in `width` digits at `at`.
void putDigits(char *text, int at, int width, int value) {
    for (int i = at + width - 1; i >= at; --i, value /= 10)
        text[i] = char('0' + value % 10);
}

// +05:30, or -04:56:02 for an offset with seconds.
QLatin1String offsetText(int offsetSeconds, char (&text)[10]) {
    const int magnitude = std::abs(offsetSeconds);
    text[0] = offsetSeconds < 0 ? '-' : '+';
    putDigits(text, 1, 2, magnitude / 3600);
    text[3] = ':';
    putDigits(text, 4, 2, magnitude / 60 % 60);
    if (magnitude % 60 == 0)
        return QLatin1String(text, 6);
    text[6] = ':';
    putDigits(text, 7, 2, magnitude % 60);
    return QLatin1String(text, 9);
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
    const int year = match.captured(1).toInt();
    if (year < Calendar::firstYear || year > Calendar::lastYear)
        return CliError::badInput(
            QStringLiteral("no such day: %1 (the year must be %2)").arg(text, yearRangeText()));
    const auto day = calendar.dateFrom(year, match.captured(2).toInt(), match.captured(3).toInt());
    if (!day)
        return CliError::badInput(QStringLiteral("no such day: %1").arg(text));
    return *day;
}

MomentReader::MomentReader(const Calendar &calendar)
    : m_calendar(calendar)
    , m_first(calendar.dateFrom(Calendar::firstYear, 1, 1).value_or(QDateTime()))
    , m_last(calendar.dateFrom(Calendar::lastYear, 12, 31).value_or(QDateTime())) {}

bool MomentReader::inRange(const QDateTime &moment) const {
    if (!m_first.isValid() || !m_last.isValid() || moment < m_first)
        return false;
    // Past the start of the last day only the calendar knows where that day ends.
    return moment < m_last || m_calendar.year(moment) <= Calendar::lastYear;
}

MomentReader::Read MomentReader::read(QByteArrayView text) const {
    const auto parts = split(text);
    if (!parts)
        return {{}, Problem::NotADateTime};
    if (parts->yearZero)
        return {{}, Problem::OutOfRange};
    QDateTime moment;
    if (parts->offsetSeconds) {
        // Arithmetic on the UTC milliseconds: an import reads millions of these.
        const qint64 seconds = QDate(1970, 1, 1).daysTo(parts->date) * 86400 +
                               parts->time.msecsSinceStartOfDay() / 1000 - *parts->offsetSeconds;
        moment = QDateTime::fromMSecsSinceEpoch(seconds * 1000 + parts->time.msec(), Qt::UTC);
    } else {
        const QDateTime local(parts->date, parts->time, zoneOf(m_calendar));
        if (!local.isValid())
            return {{}, Problem::NotADateTime};
        moment = local.toUTC();
    }
    if (!inRange(moment))
        return {{}, Problem::OutOfRange};
    return {moment, std::nullopt};
}

Outcome<QDateTime> parseDateTime(const QString &text, const Calendar &calendar) {
    const auto read = MomentReader(calendar).read(text.toUtf8());
    if (read.problem == MomentReader::Problem::OutOfRange)
        return CliError::badInput(
            QStringLiteral("\"%1\" is not in the years %2").arg(text, yearRangeText()));
    if (read.problem)
        return CliError::badInput(QStringLiteral("not a date-time: \"%1\"").arg(text));
    return read.moment;
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
    const QDate date = local.date();
    char offsetBuffer[10];
    if (date.year() < Calendar::firstYear || date.year() > Calendar::lastYear)
        return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
               offsetText(offset, offsetBuffer);
    // Written digit by digit: an export writes millions of these.
    const QTime time = local.time();
    char text[] = "0000-00-00T00:00:00.000";
    putDigits(text, 0, 4, date.year());
    putDigits(text, 5, 2, date.month());
    putDigits(text, 8, 2, date.day());
    putDigits(text, 11, 2, time.hour());
    putDigits(text, 14, 2, time.minute());
    putDigits(text, 17, 2, time.second());
    putDigits(text, 20, 3, time.msec());
    return QLatin1String(text) + offsetText(offset, offsetBuffer);
}

QString yearRangeText() {
    return QStringLiteral("%1 to %2").arg(Calendar::firstYear).arg(Calendar::lastYear);
}

} // namespace qb::cli
