#pragma once

#include "tasks/todosnapshot.h"

#include <QDateTime>
#include <QString>

namespace qb {
class Calendar;
}

namespace qb::cli {

// The text as a terminal may show it: control characters (escape sequences included) become
// U+FFFD, line breaks in notes excepted when `keepLineBreaks`.
QString visible(const QString &text, bool keepLineBreaks = false);

// "ABCD1234  [x] Title  (label)": short id, status mark, display title, a day label or status.
QString todoLine(const TodoSnapshot &todo, const QString &label);
// The scheduled day as the rows show it: Today, Tomorrow, Mon, Dec 7, Someday.
QString scheduledLabel(const TodoSnapshot &todo, const QDateTime &now, const Calendar &calendar);
QString subtaskLine(const TodoSnapshot::SubtaskSnapshot &subtask);
// A to-do with its notes, repeat rule, subtasks and change log.
QString showText(const TodoSnapshot &todo, const QDateTime &now, const Calendar &calendar);

} // namespace qb::cli
