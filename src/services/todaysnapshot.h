#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

namespace qb {

class ModelContext;
class Calendar;
class Clock;

// What the desktop widget shows: the open to-dos due by today, at most twelve of them.
struct TodaySnapshot {
    struct Item {
        QUuid id;
        QString title; // "New To-Do" for an empty title
        bool hasNotes = false;
    };

    static constexpr int maximumItems = 12;

    int totalCount = 0;
    QList<Item> items;
    QDateTime generatedAt;

    // Failed counts and fetches degrade to 0 and no items.
    // generatedAt is read from the clock after the fetch.
    static TodaySnapshot build(ModelContext &context, const Clock &clock, const Calendar &calendar);

    // Compact JSON, keys in this order: totalCount, items (id, title, hasNotes), generatedAt.
    // Ids are upper-case canonical UUIDs; generatedAt is seconds since 2001-01-01 00:00 UTC.
    QByteArray toJson() const;
};

} // namespace qb
