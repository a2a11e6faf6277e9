#pragma once

#include "tasks/editundo.h"
#include "tasks/taskenvironment.h"
#include "tasks/todosnapshot.h"
#include "tasks/undocenter.h"

namespace qb {

class ModelContext;

// Builds the undo offers for the edits that can be taken back. Each undo makes a fresh
// TaskStore over the captured context; if the context is gone by then, it does nothing.
namespace undooffers {

// For an edit returned by setTitle, setNotes, schedule or move.
UndoCenter::Action forEdit(const EditUndo &edit, ModelContext &context,
                           const TaskEnvironment &environment);
// "Deleted “title”": restores the snapshot.
UndoCenter::Action forDeletion(const TodoSnapshot &snapshot, ModelContext &context,
                               const TaskEnvironment &environment);
// "Added to …" for a to-do made with New To-Do: deletes it again, offering nothing further.
UndoCenter::Action forAddition(const TodoItemPtr &item, ModelContext &context,
                               const TaskEnvironment &environment);

} // namespace undooffers
} // namespace qb
