#pragma once

#include "keyboard/focusleave.h"
#include "model/todoitem.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include <chrono>
#include <memory>

#include "app/environment.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

namespace qb {

class Environment;
class ModelContext;
class SingleShotTimer;
class UndoCenter;
struct TaskServices;

// The detail pane's drafts and commits. Title, notes and the new-subtask text are edited in
// local drafts and written at defined moments (focus leaves, Return, tab change, the pane
// goes away), so one edit makes one store call, one log entry and one undo offer. When the
// stored value changes underneath (an undo, another window), the draft follows it.
class TaskDetailController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(
        qb::UndoCenter *undoCenter READ undoCenter WRITE setUndoCenter NOTIFY dependenciesChanged)
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(QString titleDraft READ titleDraft WRITE editTitle NOTIFY titleDraftChanged)
    Q_PROPERTY(QString notesDraft READ notesDraft WRITE setNotesDraft NOTIFY notesDraftChanged)
    Q_PROPERTY(QString newSubtaskDraft READ newSubtaskDraft WRITE setNewSubtaskDraft NOTIFY
                   newSubtaskDraftChanged)
    // "subtasks", "notes" or "log".
    Q_PROPERTY(QString selectedTab READ selectedTab WRITE selectTab NOTIFY selectedTabChanged)
    // "title", "notes" or "" for the field that has keyboard focus.
    Q_PROPERTY(
        QString focusedField READ focusedField WRITE setFocusedField NOTIFY focusedFieldChanged)
    Q_PROPERTY(bool isAddingSubtask READ isAddingSubtask NOTIFY isAddingSubtaskChanged)
    Q_PROPERTY(bool addSubtaskFocused READ addSubtaskFocused WRITE setAddSubtaskFocused NOTIFY
                   addSubtaskFocusedChanged)
    // Id of the subtask row asked to take focus, or "".
    Q_PROPERTY(QString focusRequestId READ focusRequestId NOTIFY focusRequestIdChanged)
    Q_PROPERTY(int openSubtaskCount READ openSubtaskCount NOTIFY countsChanged)
    Q_PROPERTY(int changeCount READ changeCount NOTIFY countsChanged)

public:
    static constexpr std::chrono::milliseconds addFieldCloseDelay{200};

    explicit TaskDetailController(QObject *parent = nullptr);
    ~TaskDetailController() override;

    void setTimer(std::unique_ptr<SingleShotTimer> timer);

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    UndoCenter *undoCenter() const { return m_undoCenter; }
    void setUndoCenter(UndoCenter *undoCenter);
    QObject *todo() const;
    // A new to-do commits the drafts of the old one first, then fills them from the new one.
    void setTodo(QObject *todo);
    QString titleDraft() const { return m_titleDraft; }
    // A line break in the title (Return, or pasted text) joins it into one line and commits.
    void editTitle(const QString &text);
    QString notesDraft() const { return m_notesDraft; }
    void setNotesDraft(const QString &text);
    QString newSubtaskDraft() const { return m_newSubtaskDraft; }
    void setNewSubtaskDraft(const QString &text);
    QString selectedTab() const { return m_selectedTab; }
    void selectTab(const QString &tab);
    QString focusedField() const { return m_focusedField; }
    void setFocusedField(const QString &field);
    bool isAddingSubtask() const { return m_isAddingSubtask; }
    bool addSubtaskFocused() const { return m_addFieldLeave.hasFocus(); }
    void setAddSubtaskFocused(bool focused);
    QString focusRequestId() const;
    int openSubtaskCount() const;
    int changeCount() const;

    Q_INVOKABLE void commitTitle();
    Q_INVOKABLE void commitNotes();
    Q_INVOKABLE void commitNewSubtask();
    Q_INVOKABLE void endAdding();
    // Return in the add-subtask field.
    Q_INVOKABLE void submitNewSubtask();
    // Return in a subtask row: a new subtask with `text` right after `afterId`, focused.
    Q_INVOKABLE void insertSubtaskAfter(const QString &afterId, const QString &text);
    Q_INVOKABLE void focusHandled(const QString &subtaskId);
    // Moves the subtask shown at row `from` to before row `to` (the row count for the end),
    // renumbering all of them in one store call; a move onto its own place stores nothing.
    Q_INVOKABLE void moveSubtask(int from, int to);
    Q_INVOKABLE void toggleCompletion();
    // The pane goes away: every draft is committed.
    Q_INVOKABLE void commitAll();

signals:
    void dependenciesChanged();
    void todoChanged();
    void titleDraftChanged();
    void notesDraftChanged();
    void newSubtaskDraftChanged();
    void selectedTabChanged();
    void focusedFieldChanged();
    void isAddingSubtaskChanged();
    void addSubtaskFocusedChanged();
    void focusRequestIdChanged();
    void countsChanged();

private:
    bool usable() const;
    TaskServices services() const;
    void setTitleDraft(const QString &text);
    void setAddingSubtask(bool adding);
    void followStoredTitle();
    void followStoredNotes();
    void watchSubtasks();

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QPointer<UndoCenter> m_undoCenter;
    TodoItemPtr m_todo;
    QString m_titleDraft;
    QString m_notesDraft;
    QString m_newSubtaskDraft;
    QString m_selectedTab = QStringLiteral("subtasks");
    QString m_focusedField;
    bool m_isAddingSubtask = false;
    QUuid m_focusRequest;
    // Leaving an empty add field closes it shortly after, unless focus comes back.
    FocusLeave m_addFieldLeave;
};

} // namespace qb
