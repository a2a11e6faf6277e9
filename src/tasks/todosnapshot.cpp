#include "tasks/todosnapshot.h"

#include "model/todoitem.h"
#include "store/modelcontext.h"

namespace qb {

std::shared_ptr<TodoItem> insertTodo(ModelContext &context, const TodoSnapshot &snapshot) {
    auto item = std::make_shared<TodoItem>(snapshot.title, TodoList::Today, snapshot.scheduledDate,
                                           snapshot.sortOrder, snapshot.createdAt, snapshot.id);
    item->setListRaw(snapshot.listRaw);
    item->setNotes(snapshot.notes);
    item->setCompleted(snapshot.isCompleted);
    item->setCompletedAt(snapshot.completedAt);
    item->setRecurrenceRuleRaw(snapshot.recurrenceRuleRaw);
    item->createSubtaskCollection();
    context.insert(item);
    for (const auto &change : snapshot.changes) {
        auto entry = std::make_shared<ChangeEntry>(ChangeKind::Created, change.detail,
                                                   change.timestamp, change.id);
        entry->setKindRaw(change.kindRaw);
        context.insert(entry);
        item->addChange(entry);
    }
    for (const auto &saved : snapshot.subtasks) {
        auto subtask =
            std::make_shared<Subtask>(saved.title, saved.sortOrder, saved.createdAt, saved.id);
        subtask->setCompleted(saved.isCompleted);
        context.insert(subtask);
        item->addSubtask(subtask);
    }
    return item;
}

} // namespace qb
