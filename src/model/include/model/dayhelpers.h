#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace qb {

class Calendar;

// Start of the day after the one containing `moment`.
QDateTime startOfNextDay(const QDateTime &moment, const Calendar &calendar);

// "Today", "Tomorrow", "Yesterday" relative to `now`, else the date with abbreviated weekday,
// month and day (Mon, Jan 5). An invalid (absent) date gives "Someday".
QString dayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar);
// Same words; the fallback is numeric month and day (1/5).
QString shortDayLabel(const QDateTime &date, const QDateTime &now, const Calendar &calendar);

// A section header for a day: "Today", "Tomorrow", "Yesterday", else the full weekday with the
// abbreviated month and day (Wednesday, Mar 20).
QString dayTitle(const QDateTime &day, const QDateTime &now, const Calendar &calendar);

// A run of records falling on one day, in the order given.
template <typename Record> struct DaySection {
    QDateTime day; // start of the day
    QList<Record> items;
};

// Groups records walking them in order: a record joins the last section when it falls on the
// same day, else starts a new one. `keyDate` gives the moment that places a record.
template <typename Record, typename KeyDate>
QList<DaySection<Record>> groupByDay(const QList<Record> &records, KeyDate keyDate,
                                     const Calendar &calendar);

} // namespace qb

#include "model/calendar.h"

template <typename Record, typename KeyDate>
QList<qb::DaySection<Record>> qb::groupByDay(const QList<Record> &records, KeyDate keyDate,
                                             const Calendar &calendar) {
    QList<DaySection<Record>> sections;
    for (const Record &record : records) {
        const QDateTime day = calendar.startOfDay(keyDate(record));
        if (sections.isEmpty() || sections.last().day != day)
            sections.append({day, {}});
        sections.last().items.append(record);
    }
    return sections;
}
