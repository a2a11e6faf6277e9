#include "model/calendar.h"

#include "icustring.h"

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/rbnf.h>
#include <unicode/reldatefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <QHash>

#include <cmath>
#include <cstdlib>

namespace qb {

namespace {

UDate toUDate(const QDateTime &moment) {
    return static_cast<UDate>(moment.toMSecsSinceEpoch());
}

QDateTime fromUDate(UDate date) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(date)), Qt::UTC);
}

bool isSupportedYear(int year) {
    return year >= Calendar::firstYear && year <= Calendar::lastYear;
}

// The locale with its calendar system set to Gregorian, so names, patterns and formats follow
// the one calendar every date is computed and stored in (fa_IR would otherwise name Persian
// months, ar_SA Islamic ones).
icu::Locale gregorianVariant(const icu::Locale &locale) {
    icu::Locale variant(locale);
    UErrorCode status = U_ZERO_ERROR;
    variant.setKeywordValue("calendar", "gregorian", status);
    return U_SUCCESS(status) ? variant : locale;
}

// Stored dates are Qt's proleptic Gregorian days. ICU's Gregorian calendar switches to the
// Julian one before October 1582 unless told otherwise, which moved 1582-10-10 to the 20th.
std::unique_ptr<icu::Calendar> prolepticGregorian(const icu::TimeZone &zone,
                                                  const icu::Locale &locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(zone.clone(), locale, status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        calendar =
            std::make_unique<icu::GregorianCalendar>(zone.clone(), icu::Locale::getRoot(), status);
    }
    status = U_ZERO_ERROR;
    calendar->setGregorianChange(U_DATE_MIN, status);
    return calendar;
}

QStringList namesFrom(const icu::UnicodeString *names, int32_t count, int32_t first, int wanted) {
    QStringList result;
    for (int32_t i = first; i < count && result.size() < wanted; ++i)
        result.append(fromIcu(names[i]));
    while (result.size() < wanted)
        result.append(QString());
    return result;
}

} // namespace

struct Calendar::Data {
    icu::Locale locale;
    icu::Locale gregorianLocale;
    std::unique_ptr<icu::TimeZone> zone;
    // ICU calendars and formatters are stateful; everything runs on the main thread, so one
    // working copy per calendar value is enough.
    mutable std::unique_ptr<icu::Calendar> calendar;
    mutable std::unique_ptr<icu::DateTimePatternGenerator> patterns;
    mutable QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> formats;
    mutable std::unique_ptr<icu::RuleBasedNumberFormat> ordinals;
    mutable bool ordinalsTried = false;
    mutable std::unique_ptr<icu::RelativeDateTimeFormatter> relative;
    mutable bool relativeTried = false;
    // Names are loaded the first time one is asked for: most runs of the client never do.
    mutable std::unique_ptr<icu::DateFormatSymbols> symbols;
    mutable bool symbolsTried = false;

    Data(const QString &localeId, std::unique_ptr<icu::TimeZone> timeZone)
        : locale(localeId.toUtf8().constData())
        , gregorianLocale(gregorianVariant(locale))
        , zone(std::move(timeZone))
        , calendar(prolepticGregorian(*zone, gregorianLocale)) {}

    const icu::DateFormatSymbols *nameSymbols() const {
        if (!symbolsTried) {
            symbolsTried = true;
            UErrorCode status = U_ZERO_ERROR;
            symbols = std::make_unique<icu::DateFormatSymbols>(gregorianLocale, status);
            if (U_FAILURE(status))
                symbols.reset();
        }
        return symbols.get();
    }

    // Positions the working calendar at a moment; returns false when ICU cannot.
    bool setMoment(UDate date) const {
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(date, status);
        return U_SUCCESS(status);
    }

    std::optional<UDate> moment() const {
        UErrorCode status = U_ZERO_ERROR;
        const UDate date = calendar->getTime(status);
        if (U_FAILURE(status))
            return std::nullopt;
        return date;
    }

    int field(UCalendarDateFields which) const {
        UErrorCode status = U_ZERO_ERROR;
        const int value = calendar->get(which, status);
        return U_SUCCESS(status) ? value : 0;
    }

    // Whether the working calendar's current moment lies in a supported year.
    bool inSupportedYear() const { return isSupportedYear(field(UCAL_EXTENDED_YEAR)); }

    // Clears the time of day of the working calendar's current moment.
    std::optional<UDate> truncateToDay() const {
        UErrorCode status = U_ZERO_ERROR;
        const int y = calendar->get(UCAL_EXTENDED_YEAR, status);
        const int m = calendar->get(UCAL_MONTH, status);
        const int d = calendar->get(UCAL_DATE, status);
        if (U_FAILURE(status))
            return std::nullopt;
        calendar->clear();
        calendar->set(UCAL_EXTENDED_YEAR, y);
        calendar->set(UCAL_MONTH, m);
        calendar->set(UCAL_DATE, d);
        return moment();
    }
};

Calendar::Calendar(const QString &localeId, const QString &timeZoneId)
    : d(std::make_shared<Data>(localeId, std::unique_ptr<icu::TimeZone>(
                                             icu::TimeZone::createTimeZone(toIcu(timeZoneId))))) {}

Calendar::Calendar(std::shared_ptr<const Data> data)
    : d(std::move(data)) {}

Calendar::~Calendar() = default;
Calendar::Calendar(const Calendar &other) = default;
Calendar &Calendar::operator=(const Calendar &other) = default;
Calendar::Calendar(Calendar &&other) noexcept = default;
Calendar &Calendar::operator=(Calendar &&other) noexcept = default;

Calendar Calendar::current() {
    // The detected zone is used as it is: looking it up again by its id costs as much again.
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    // LC_ALL and LC_TIME win over LANG, the way the C library resolves the time category.
    QString localeId;
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value) {
            localeId = QString::fromLocal8Bit(value);
            break;
        }
    }
    localeId = localeId.section(u'.', 0, 0).section(u'@', 0, 0);
    if (localeId.isEmpty() || localeId == u"C" || localeId == u"POSIX")
        localeId = QStringLiteral("en_US");
    return Calendar(std::make_shared<const Data>(localeId, std::move(zone)));
}

QString Calendar::localeId() const {
    return QString::fromLatin1(d->locale.getName());
}

QString Calendar::timeZoneId() const {
    icu::UnicodeString id;
    d->zone->getID(id);
    return fromIcu(id);
}

QDateTime Calendar::startOfDay(const QDateTime &moment) const {
    if (!d->setMoment(toUDate(moment)))
        return moment;
    const auto start = d->truncateToDay();
    return start ? fromUDate(*start) : moment;
}

std::optional<QDateTime> Calendar::addDays(const QDateTime &moment, int days) const {
    if (!d->setMoment(toUDate(moment)))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    d->calendar->add(UCAL_DATE, days, status);
    if (U_FAILURE(status) || !d->inSupportedYear())
        return std::nullopt;
    const auto result = d->moment();
    return result ? std::optional(fromUDate(*result)) : std::nullopt;
}

std::optional<QDateTime> Calendar::addMonths(const QDateTime &moment, int months) const {
    if (!d->setMoment(toUDate(moment)))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    d->calendar->add(UCAL_MONTH, months, status);
    if (U_FAILURE(status) || !d->inSupportedYear())
        return std::nullopt;
    const auto result = d->moment();
    return result ? std::optional(fromUDate(*result)) : std::nullopt;
}

bool Calendar::isSameDay(const QDateTime &a, const QDateTime &b) const {
    return startOfDay(a) == startOfDay(b);
}

int Calendar::weekday(const QDateTime &moment) const {
    d->setMoment(toUDate(moment));
    return d->field(UCAL_DAY_OF_WEEK);
}

int Calendar::year(const QDateTime &moment) const {
    d->setMoment(toUDate(moment));
    return d->field(UCAL_EXTENDED_YEAR);
}

int Calendar::month(const QDateTime &moment) const {
    d->setMoment(toUDate(moment));
    return d->field(UCAL_MONTH) + 1;
}

int Calendar::day(const QDateTime &moment) const {
    d->setMoment(toUDate(moment));
    return d->field(UCAL_DATE);
}

std::optional<int> Calendar::daysInMonth(int year, int month) const {
    if (month < 1 || month > 12 || !isSupportedYear(year))
        return std::nullopt;
    d->calendar->clear();
    d->calendar->set(UCAL_EXTENDED_YEAR, year);
    d->calendar->set(UCAL_MONTH, month - 1);
    d->calendar->set(UCAL_DATE, 1);
    UErrorCode status = U_ZERO_ERROR;
    const int days = d->calendar->getActualMaximum(UCAL_DATE, status);
    if (U_FAILURE(status) || days <= 0)
        return std::nullopt;
    return days;
}

std::optional<QDateTime> Calendar::dateFrom(int year, int month, int day) const {
    const auto days = daysInMonth(year, month);
    if (!days || day < 1 || day > *days)
        return std::nullopt;
    d->calendar->clear();
    d->calendar->set(UCAL_EXTENDED_YEAR, year);
    d->calendar->set(UCAL_MONTH, month - 1);
    d->calendar->set(UCAL_DATE, day);
    const auto result = d->moment();
    return result ? std::optional(fromUDate(*result)) : std::nullopt;
}

QStringList Calendar::weekdayNames(NameWidth width) const {
    const icu::DateFormatSymbols *symbols = d->nameSymbols();
    if (!symbols)
        return QStringList(7, QString());
    const auto icuWidth = width == NameWidth::Full    ? icu::DateFormatSymbols::WIDE
                          : width == NameWidth::Short ? icu::DateFormatSymbols::ABBREVIATED
                                                      : icu::DateFormatSymbols::NARROW;
    int32_t count = 0;
    const icu::UnicodeString *names =
        symbols->getWeekdays(count, icu::DateFormatSymbols::FORMAT, icuWidth);
    // ICU's weekday arrays are indexed by UCAL_SUNDAY (1) … UCAL_SATURDAY (7).
    return namesFrom(names, count, 1, 7);
}

QStringList Calendar::monthNames(NameWidth width) const {
    const icu::DateFormatSymbols *symbols = d->nameSymbols();
    if (!symbols)
        return QStringList(12, QString());
    const auto icuWidth = width == NameWidth::Full    ? icu::DateFormatSymbols::WIDE
                          : width == NameWidth::Short ? icu::DateFormatSymbols::ABBREVIATED
                                                      : icu::DateFormatSymbols::NARROW;
    int32_t count = 0;
    const icu::UnicodeString *names =
        symbols->getMonths(count, icu::DateFormatSymbols::FORMAT, icuWidth);
    return namesFrom(names, count, 0, 12);
}

QString Calendar::format(const QDateTime &moment, const QString &skeleton) const {
    auto &format = d->formats[skeleton];
    if (!format) {
        UErrorCode status = U_ZERO_ERROR;
        if (!d->patterns) {
            d->patterns.reset(
                icu::DateTimePatternGenerator::createInstance(d->gregorianLocale, status));
            if (U_FAILURE(status)) {
                d->patterns.reset();
                return {};
            }
        }
        const icu::UnicodeString pattern = d->patterns->getBestPattern(toIcu(skeleton), status);
        if (U_FAILURE(status))
            return {};
        auto created = std::make_shared<icu::SimpleDateFormat>(pattern, d->gregorianLocale, status);
        if (U_FAILURE(status))
            return {};
        created->setCalendar(*d->calendar);
        created->setTimeZone(*d->zone);
        format = std::move(created);
    }
    icu::UnicodeString text;
    format->format(toUDate(moment), text);
    return fromIcu(text);
}

QString Calendar::ordinal(int number) const {
    if (!d->ordinalsTried) {
        d->ordinalsTried = true;
        UErrorCode status = U_ZERO_ERROR;
        d->ordinals =
            std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_ORDINAL, d->locale, status);
        if (U_FAILURE(status))
            d->ordinals.reset();
    }
    if (!d->ordinals)
        return {};
    icu::UnicodeString text;
    d->ordinals->format(static_cast<int32_t>(number), text);
    return fromIcu(text);
}

QString Calendar::relativeTime(const QDateTime &moment, const QDateTime &now) const {
    if (!d->relativeTried) {
        d->relativeTried = true;
        UErrorCode status = U_ZERO_ERROR;
        d->relative = std::make_unique<icu::RelativeDateTimeFormatter>(
            d->locale, nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE, status);
        if (U_FAILURE(status))
            d->relative.reset();
    }
    if (!d->relative)
        return {};

    const qint64 seconds = now.secsTo(moment);
    const qint64 magnitude = std::llabs(seconds);
    double offset = 0;
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    if (magnitude < 60) {
        offset = 0;
    } else if (magnitude < 3600) {
        offset = static_cast<double>(seconds / 60);
        unit = UDAT_REL_UNIT_MINUTE;
    } else if (magnitude < 86400 && isSameDay(moment, now)) {
        offset = static_cast<double>(seconds / 3600);
        unit = UDAT_REL_UNIT_HOUR;
    } else {
        // Whole days count by the calendar, so a moment late yesterday reads "yesterday". The
        // local dates are compared: the UTC dates of two local midnights can be a day closer
        // than the local ones when the zone's offset changes sign in between.
        const auto localDate = [this](const QDateTime &m) {
            return QDate(year(m), month(m), day(m));
        };
        const qint64 days = localDate(now).daysTo(localDate(moment));
        const qint64 absDays = std::llabs(days);
        if (absDays == 0) {
            offset = static_cast<double>(seconds / 3600);
            unit = UDAT_REL_UNIT_HOUR;
        } else if (absDays < 7) {
            offset = static_cast<double>(days);
            unit = UDAT_REL_UNIT_DAY;
        } else if (absDays < 31) {
            offset = static_cast<double>(days / 7);
            unit = UDAT_REL_UNIT_WEEK;
        } else if (absDays < 365) {
            offset = static_cast<double>(days / 30);
            unit = UDAT_REL_UNIT_MONTH;
        } else {
            offset = static_cast<double>(days / 365);
            unit = UDAT_REL_UNIT_YEAR;
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    d->relative->format(offset, unit, text, status);
    return U_SUCCESS(status) ? fromIcu(text) : QString();
}

} // namespace qb
