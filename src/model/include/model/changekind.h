#pragma once

#include <QString>

#include <array>

namespace qb {

// Kinds of change-log entries, in their stored order.
enum class ChangeKind {
    Created,
    TitleEdited,
    NotesEdited,
    MovedToToday,
    MovedToLater,
    Scheduled,
    DateCleared,
    Completed,
    Reopened,
    RepeatSet,
    RepeatCleared,
};

inline constexpr int changeKindCount = 11;

QString rawValue(ChangeKind kind);
// Any string outside the table (the empty string included) reads as Created.
ChangeKind changeKindFromRaw(const QString &raw);
QString title(ChangeKind kind);
// Symbol names; the UI maps them to icons.
QString symbolName(ChangeKind kind);

} // namespace qb
