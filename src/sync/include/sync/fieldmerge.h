#pragma once

#include "sync/itemfields.h"

#include <QDateTime>

#include <optional>

namespace qb::sync {

// One side of a merge: its fields and when they were last edited.
struct MergeSide {
    ItemFields fields;
    QDateTime editedAt;
};

// Three-way merge per field against `base`, the version both sides last agreed on (absent when
// they never did: then every difference is a change on both sides). A field changed on one side
// takes that side; changed on both, the later edit wins, and the other side's text is kept: a
// losing to-do title or losing notes go into the notes below a line that says so, a losing
// subtask title stays after the winning one. The change log is merged by entry: an entry added
// on either side is kept, one removed on either side is removed.
ItemFields mergeFields(ItemKind kind, const std::optional<ItemFields> &base, const MergeSide &local,
                       const MergeSide &remote);

// The words that introduce kept text in the notes.
QString otherTitleNote(const QString &title);
QString otherNotesNote(const QString &notes);

} // namespace qb::sync
