#pragma once

#include "model/todosnapshot.h"

#include <memory>

namespace qb {

class ModelContext;
class TodoItem;

// Inserts the to-do, its change entries and its subtasks into the context with every stored
// field as in the snapshot: identifiers, the list and change kinds verbatim, even unknown ones.
std::shared_ptr<TodoItem> insertTodo(ModelContext &context, const TodoSnapshot &snapshot);

} // namespace qb
