#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

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

        bool operator==(const Item &) const = default;
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

    // Reads what toJson() writes, for readers of the file (the tray). Key order and unknown
    // keys do not matter; a missing or mistyped key, an id that is not a UUID or a negative
    // count make the whole document unreadable (nullopt). Items past the twelfth are dropped.
    static std::optional<TodaySnapshot> fromJson(const QByteArray &json);
    // The moment a generatedAt value stands for; nothing for one beyond any real moment.
    static std::optional<QDateTime> momentFromSeconds(double seconds);
};

} // namespace qb
