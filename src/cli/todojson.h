#pragma once

#include "json.h"
#include "tasks/todosnapshot.h"

#include <QList>

namespace qb {
class Calendar;
class Subtask;
} // namespace qb

namespace qb::cli {

// Which collections a to-do's JSON carries, and in which order.
enum class Relations {
    None,         // list rows: the to-do's fields only
    DisplayOrder, // show and delete: subtasks as shown, changes newest first
    ExportOrder,  // export: subtasks by sortOrder then createdAt, changes newest first
};

QString idText(const QUuid &id); // upper case, no braces

TodoSnapshot::SubtaskSnapshot subtaskSnapshot(const Subtask &subtask);
QList<TodoSnapshot::SubtaskSnapshot> displayOrder(QList<TodoSnapshot::SubtaskSnapshot> subtasks);
QList<TodoSnapshot::ChangeSnapshot> newestFirst(QList<TodoSnapshot::ChangeSnapshot> changes);

Json todoJson(const TodoSnapshot &todo, Relations relations, const Calendar &calendar);
Json subtaskJson(const TodoSnapshot::SubtaskSnapshot &subtask, const Calendar &calendar);
Json changeJson(const TodoSnapshot::ChangeSnapshot &change, const Calendar &calendar);

} // namespace qb::cli
