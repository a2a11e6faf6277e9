#pragma once

#include "tasks/todosnapshot.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace qb::sync {

// A to-do is one VTODO, each of its subtasks a child VTODO of its own.
enum class ItemKind { Todo, Subtask };

using LogEntry = TodoSnapshot::ChangeSnapshot;

// What travels between a record and its VTODO, as plain values. Subtasks use the title, the
// completion, the order and the creation moment only.
struct ItemFields {
    QString title;
    QString notes;
    std::optional<QDate> day;
    bool completed = false;
    QDateTime completedAt;
    // The repeat rule's JSON text as the record stores it; null when it does not repeat.
    QString ruleRaw;
    double sortOrder = 0;
    QDateTime createdAt; // invalid when the object does not say
    // False when the VTODO carries no change log at all (a client that drops properties it
    // does not know): such a side says nothing about the log.
    bool hasLog = true;
    QList<LogEntry> log; // oldest first

    friend bool operator==(const ItemFields &, const ItemFields &) = default;
};

// Moments travel in whole seconds and the order in thousandths: values are kept at that
// precision on both sides so a round trip compares equal.
QDateTime wholeSeconds(const QDateTime &moment);
double orderPrecision(double sortOrder);

// A creation moment is set once; an object that does not say when it was made agrees with any.
bool sameCreation(const QDateTime &a, const QDateTime &b);

// Whether two sides agree on everything `kind` sends. A side without a log agrees on the log.
bool sameSynced(ItemKind kind, const ItemFields &a, const ItemFields &b);

} // namespace qb::sync
