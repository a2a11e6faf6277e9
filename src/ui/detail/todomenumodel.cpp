#include "todomenumodel.h"

#include "app/taskservices.h"
#include "models/todorowsmodel.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

namespace qb {

TodoMenuModel::TodoMenuModel(QObject *parent)
    : QObject(parent) {}

void TodoMenuModel::setContext(ModelContext *context) {
    if (replaceDependency(m_context, context))
        emit dependenciesChanged();
}

void TodoMenuModel::setEnvironment(Environment *environment) {
    if (!replaceFollowed(m_environment, environment, this))
        return;
    // What the button says depends on the day.
    if (m_environment)
        connect(m_environment, &Environment::todayChanged, this, &TodoMenuModel::displayChanged);
    emit dependenciesChanged();
    emit displayChanged();
}

void TodoMenuModel::setUndoCenter(UndoCenter *undoCenter) {
    if (replaceDependency(m_undoCenter, undoCenter))
        emit dependenciesChanged();
}

TaskServices TodoMenuModel::services() const {
    return {m_context, m_environment, m_undoCenter};
}

void TodoMenuModel::setTodo(QObject *todo) {
    TodoItemPtr shared = sharedTodo(todo);
    if (shared == m_todo)
        return;
    if (m_todo)
        disconnect(m_todo.get(), nullptr, this, nullptr);
    m_todo = std::move(shared);
    if (m_todo)
        watch(*m_todo);
    setPresented(false);
    emit todoChanged();
    emit displayChanged();
}

void TodoMenuModel::setPresented(bool presented) {
    if (presented && !(ready() && m_todo))
        return;
    if (presented)
        load();
    if (m_presented == presented)
        return;
    m_presented = presented;
    emit presentedChanged();
}

bool TodoMenuModel::usable() const {
    return ready() && m_todo && m_todo->isInContext();
}

} // namespace qb
