#include "tasks/undooffers.h"

#include "model/dayhelpers.h"
#include "store/modelcontext.h"
#include "tasks/taskstore.h"

#include <QPointer>

namespace qb::undooffers {

namespace {

// Runs `operation` on a fresh TaskStore when the undo is used.
template <typename Operation>
std::function<void()> withStore(ModelContext &context, const TaskEnvironment &environment,
                                Operation operation) {
    return [context = QPointer<ModelContext>(&context), environment, operation] {
        if (!context)
            return;
        TaskStore store(*context, environment);
        operation(store);
    };
}

UndoCenter::Action action(QString message, QString symbol, std::function<void()> undo) {
    UndoCenter::Action result;
    result.message = std::move(message);
    result.systemImage = std::move(symbol);
    result.undo = std::move(undo);
    return result;
}

} // namespace

UndoCenter::Action forEdit(const EditUndo &edit, ModelContext &context,
                           const TaskEnvironment &environment) {
    auto undo = withStore(context, environment, [edit](TaskStore &store) { store.revert(edit); });
    if (std::holds_alternative<TitleEdit>(edit))
        return action(QStringLiteral("Renamed"), QStringLiteral("pencil"), std::move(undo));
    if (std::holds_alternative<NotesEdit>(edit))
        return action(QStringLiteral("Notes edited"), QStringLiteral("text.alignleft"),
                      std::move(undo));
    const QDateTime date = std::get<ScheduleEdit>(edit).item->scheduledDate();
    if (!date.isValid())
        return action(QStringLiteral("Moved to Later"), QStringLiteral("tray"), std::move(undo));
    return action(QStringLiteral("Scheduled for ") +
                      dayLabel(date, environment.clock.now(), environment.calendar),
                  QStringLiteral("calendar"), std::move(undo));
}

UndoCenter::Action forDeletion(const TodoSnapshot &snapshot, ModelContext &context,
                               const TaskEnvironment &environment) {
    const QString title = snapshot.title.trimmed();
    const QString message = title.isEmpty() ? QStringLiteral("To-do deleted")
                                            : QStringLiteral("Deleted “") + title + u'”';
    return action(
        message, QStringLiteral("trash"),
        withStore(context, environment, [snapshot](TaskStore &store) { store.restore(snapshot); }));
}

UndoCenter::Action forAddition(const TodoItemPtr &item, ModelContext &context,
                               const TaskEnvironment &environment) {
    return action(
        QStringLiteral("Added to ") +
            dayLabel(item->scheduledDate(), environment.clock.now(), environment.calendar),
        QStringLiteral("plus.circle"),
        withStore(context, environment, [item](TaskStore &store) { store.remove(item); }));
}

} // namespace qb::undooffers
