#pragma once

#include "model/textmatcher.h"
#include "model/todopredicate.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace qb {

class Calendar;
class TodoItem;

// Quick Find over every to-do, open or done, by title or notes.
namespace search {

// The query as searched: surrounding whitespace and newlines removed.
QString trimmedQuery(const QString &query);

// Matches for a non-empty trimmed query (nothing for an empty one), open to-dos first, each
// group newest first.
TodoFetch fetch(const QString &query);

// "Done", "Later", "Today" (due today or overdue), else the day label ("Tomorrow", "Wed, Mar 20").
QString statusWord(const TodoItem &item, const QDateTime &now, const Calendar &calendar);

// The title as shown: "New To-Do" for an empty one.
QString displayTitle(const QString &title);

// The parts of `text` to emphasise: non-overlapping, left to right, in UTF-16 units.
QList<TextMatcher::Range> highlightRanges(const QString &text, const QString &query,
                                          const QString &localeId);

} // namespace search
} // namespace qb
