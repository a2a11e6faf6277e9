#pragma once

#include "base/enumcases.h"

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

template <> struct EnumTable<ChangeKind> {
    static constexpr std::array<EnumCase<ChangeKind>, 11> cases{{
        {ChangeKind::Created, u"created", u"Created", u"plus.circle"},
        {ChangeKind::TitleEdited, u"titleEdited", u"Renamed", u"pencil"},
        {ChangeKind::NotesEdited, u"notesEdited", u"Notes edited", u"note.text"},
        {ChangeKind::MovedToToday, u"movedToToday", u"Moved to Today", u"sun.horizon"},
        {ChangeKind::MovedToLater, u"movedToLater", u"Moved to Later", u"tray"},
        {ChangeKind::Scheduled, u"scheduled", u"Scheduled", u"calendar"},
        {ChangeKind::DateCleared, u"dateCleared", u"Moved to Later", u"tray"},
        {ChangeKind::Completed, u"completed", u"Completed", u"checkmark.circle"},
        {ChangeKind::Reopened, u"reopened", u"Reopened", u"arrow.uturn.backward"},
        {ChangeKind::RepeatSet, u"repeatSet", u"Set to repeat", u"repeat"},
        {ChangeKind::RepeatCleared, u"repeatCleared", u"Repeat off", u"xmark"},
    }};
};

inline constexpr auto allChangeKinds = allCases<ChangeKind>();

// Any string outside the table (the empty string included) reads as Created.
inline ChangeKind changeKindFromRaw(QStringView raw) {
    return caseFromRaw<ChangeKind>(raw).value_or(ChangeKind::Created);
}

} // namespace qb
