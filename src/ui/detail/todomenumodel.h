#pragma once

#include "model/todoitem.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("app/quillbrookapp.h")

namespace qb {

class QuillbrookApp;

// What the header buttons of the detail pane share: the to-do they edit, what the button
// shows, and whether their popover is open. Opening builds the popover's state anew from the
// to-do; changing the to-do closes it.
class TodoMenuModel : public QObject {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(bool presented READ isPresented WRITE setPresented NOTIFY presentedChanged)

public:
    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);
    QObject *todo() const { return m_todo.get(); }
    void setTodo(QObject *todo);
    bool isPresented() const { return m_presented; }
    // Opens only with an app and a to-do.
    void setPresented(bool presented);

signals:
    void appChanged();
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
    // An app and a to-do that is still in the store.
    bool usable() const;

    QPointer<QuillbrookApp> m_app;
    TodoItemPtr m_todo;

private:
    bool m_presented = false;
};

} // namespace qb
