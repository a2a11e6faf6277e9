#include "model/todosnapshot.h"

#include "model/todoitem.h"

namespace qb {

TodoSnapshot TodoSnapshot::of(const TodoItem &item) {
    TodoSnapshot snapshot;
    snapshot.id = item.id();
    snapshot.title = item.title();
    snapshot.notes = item.notes();
    snapshot.isCompleted = item.isCompleted();
    snapshot.completedAt = item.completedAt();
    snapshot.scheduledDate = item.scheduledDate();
    snapshot.recurrenceRuleRaw = item.recurrenceRuleRaw();
    snapshot.listRaw = item.listRaw();
    snapshot.sortOrder = item.sortOrder();
    snapshot.createdAt = item.createdAt();
    for (const auto &entry : item.changes())
        snapshot.changes.append(
            {entry->id(), entry->kindRaw(), entry->detail(), entry->timestamp()});
    for (const auto &subtask : item.subtasks())
        snapshot.subtasks.append({subtask->id(), subtask->title(), subtask->isCompleted(),
                                  subtask->sortOrder(), subtask->createdAt()});
    return snapshot;
}

} // namespace qb
