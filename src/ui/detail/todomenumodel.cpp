#include "todomenumodel.h"

#include "app/quillbrookapp.h"
#include "models/todorowsmodel.h"

namespace qb {

TodoMenuModel::TodoMenuModel(QObject *parent)
    : QObject(parent) {}

void TodoMenuModel::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = app;
    // The day may have turned while the application was inactive.
    if (m_app)
        connect(m_app, &QuillbrookApp::activated, this, &TodoMenuModel::displayChanged);
    emit appChanged();
    emit displayChanged();
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
    if (presented && !(m_app && m_todo))
        return;
    if (presented)
        load();
    if (m_presented == presented)
        return;
    m_presented = presented;
    emit presentedChanged();
}

bool TodoMenuModel::usable() const {
    return m_app && m_todo && m_todo->isInContext();
}

} // namespace qb
