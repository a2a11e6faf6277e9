#pragma once

#include "model/todoitem.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include "app/environment.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

namespace qb {

class Environment;
class ModelContext;
class UndoCenter;
struct TaskServices;

// What the header buttons of the detail pane share: the to-do they edit, what the button
// shows, and whether their popover is open. Opening builds the popover's state anew from the
// to-do; changing the to-do closes it.
class TodoMenuModel : public QObject {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(
        qb::UndoCenter *undoCenter READ undoCenter WRITE setUndoCenter NOTIFY dependenciesChanged)
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(bool presented READ isPresented WRITE setPresented NOTIFY presentedChanged)

public:
    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    UndoCenter *undoCenter() const { return m_undoCenter; }
    void setUndoCenter(UndoCenter *undoCenter);
    QObject *todo() const { return m_todo.get(); }
    void setTodo(QObject *todo);
    bool isPresented() const { return m_presented; }
    // Opens only with the dependencies and a to-do.
    void setPresented(bool presented);

signals:
    void dependenciesChanged();
    void todoChanged();
    void presentedChanged();
    // What the button shows may have changed: the to-do changed, or the day turned.
    void displayChanged();

protected:
    explicit TodoMenuModel(QObject *parent = nullptr);
    // Connects the to-do's signals that change what the button shows to displayChanged.
    virtual void watch(TodoItem &todo) = 0;
    // The popover opens: read its state from the to-do.
    virtual void load() = 0;
    // The dependencies and a to-do that is still in the store.
    bool usable() const;
    bool ready() const { return m_context && m_environment; }
    TaskServices services() const;

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QPointer<UndoCenter> m_undoCenter;
    TodoItemPtr m_todo;

private:
    bool m_presented = false;
};

} // namespace qb
