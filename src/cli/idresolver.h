#pragma once

#include "model/subtask.h"
#include "model/todoitem.h"
#include "outcome.h"

namespace qb {
class ModelContext;
}

namespace qb::cli {

// A record named on the command line by its full id (any letter case) or a unique prefix of
// at least four characters. Unknown and ambiguous names are BadInput errors.
Outcome<TodoItemPtr> resolveTodo(ModelContext &context, const QString &name);

// A subtask knows its to-do only weakly, and a subtask saved without a live owner would lose
// its link: the owner is held for as long as the subtask is used.
struct ResolvedSubtask {
    TodoItemPtr owner;
    SubtaskPtr subtask;
};
Outcome<ResolvedSubtask> resolveSubtask(ModelContext &context, const QString &name);

} // namespace qb::cli
