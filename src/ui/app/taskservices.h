#pragma once

#include "app/dependency.h"
#include "app/environment.h"
#include "store/modelcontext.h"
#include "tasks/editundo.h"
#include "tasks/taskstore.h"
#include "tasks/todosnapshot.h"
#include "tasks/undocenter.h"

#include <QPointer>

#include <optional>

namespace qb {

class ModelContext;
class UndoCenter;

// What a view model changes to-dos with, as QML hands it over: the main context, the
// environment and (for edits that can be taken back) the undo center.
struct TaskServices {
    QPointer<ModelContext> context;
    QPointer<Environment> environment;
    QPointer<UndoCenter> undoCenter;

    bool ready() const { return context && environment; }
    // Only when ready().
    TaskStore store() const { return environment->taskStore(*context); }
    // Offers the way back in the toast, when there is one and an undo center to show it.
    void offer(const std::optional<EditUndo> &edit) const;
    void offer(const std::optional<TodoSnapshot> &deleted) const;
    void offerAddition(const TodoItemPtr &added) const;
};

} // namespace qb
