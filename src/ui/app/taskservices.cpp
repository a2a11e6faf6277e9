#include "taskservices.h"

#include "tasks/undocenter.h"
#include "tasks/undooffers.h"

namespace qb {

void TaskServices::offer(const std::optional<EditUndo> &edit) const {
    if (edit && undoCenter && ready())
        undoCenter->offer(undooffers::forEdit(*edit, *context, environment->tasks()));
}

void TaskServices::offer(const std::optional<TodoSnapshot> &deleted) const {
    if (deleted && undoCenter && ready())
        undoCenter->offer(undooffers::forDeletion(*deleted, *context, environment->tasks()));
}

void TaskServices::offerAddition(const TodoItemPtr &added) const {
    if (added && undoCenter && ready())
        undoCenter->offer(undooffers::forAddition(added, *context, environment->tasks()));
}

} // namespace qb
