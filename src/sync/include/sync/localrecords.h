#pragma once

#include "model/calendar.h"
#include "model/todoitem.h"
#include "sync/itemfields.h"

namespace qb {
class ModelContext;
}

namespace qb::sync {

// A record's fields as the server would hold them: days as dates in the user's calendar,
// moments in whole seconds, the rule as it reads back from the server.
ItemFields fieldsOf(const TodoItem &item, const Calendar &calendar);
ItemFields fieldsOf(const Subtask &subtask);

// Writes what differs from `fields` into the record; the log becomes the fields' log when they
// carry one. Unchanged fields are not touched, so nothing is saved for them.
void applyFields(ModelContext &context, TodoItem &item, const ItemFields &fields,
                 const Calendar &calendar);
void applyFields(Subtask &subtask, const ItemFields &fields);

// New records made from a server's fields. A missing creation moment becomes `fallbackCreated`.
TodoItemPtr insertTodo(ModelContext &context, const QUuid &id, const ItemFields &fields,
                       const Calendar &calendar, const QDateTime &fallbackCreated);
SubtaskPtr insertSubtask(ModelContext &context, const TodoItemPtr &parent, const QUuid &id,
                         const ItemFields &fields, const QDateTime &fallbackCreated);

} // namespace qb::sync
