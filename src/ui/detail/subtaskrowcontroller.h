#pragma once

#include "keyboard/focusleave.h"
#include "model/subtask.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include <chrono>
#include <memory>

#include "app/environment.h"
Q_MOC_INCLUDE("detail/taskdetailcontroller.h")
#include "store/modelcontext.h"

namespace qb {

class Environment;
class ModelContext;
class SingleShotTimer;
class TaskDetailController;

// One subtask row's draft. The title is committed when focus leaves; Return (or a line break
// typed or pasted in the middle) splits the text into a new subtask right after this one. A
// subtask that never had a title and is left empty is removed shortly after focus leaves.
class SubtaskRowController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(qb::TaskDetailController *pane READ pane WRITE setPane NOTIFY paneChanged)
    Q_PROPERTY(QObject *subtask READ subtask WRITE setSubtask NOTIFY subtaskChanged)
    Q_PROPERTY(QString draft READ draft WRITE editDraft NOTIFY draftChanged)
    Q_PROPERTY(bool focused READ focused WRITE setFocused NOTIFY focusedChanged)

public:
    static constexpr std::chrono::milliseconds emptyDeleteDelay{200};

    explicit SubtaskRowController(QObject *parent = nullptr);
    ~SubtaskRowController() override;

    void setTimer(std::unique_ptr<SingleShotTimer> timer);

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    TaskDetailController *pane() const { return m_pane; }
    void setPane(TaskDetailController *pane);
    QObject *subtask() const { return m_subtask.get(); }
    void setSubtask(QObject *subtask);
    QString draft() const { return m_draft; }
    // Text typed into the field; a line break splits it.
    void editDraft(const QString &text);
    bool focused() const { return m_leave.hasFocus(); }
    void setFocused(bool focused);

    Q_INVOKABLE void commit();
    Q_INVOKABLE void toggle();
    Q_INVOKABLE void remove();
    // Return pressed: the rest after the cursor (empty at the end) becomes the next subtask.
    Q_INVOKABLE void returnPressed(const QString &rest = QString());
    // The row goes away: an empty never-named subtask is removed at once.
    Q_INVOKABLE void disappear();
    bool isEmpty() const;

signals:
    void dependenciesChanged();
    void paneChanged();
    void subtaskChanged();
    void draftChanged();
    void focusedChanged();

private:
    bool usable() const;
    void setDraft(const QString &text);

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    QPointer<TaskDetailController> m_pane;
    SubtaskPtr m_subtask;
    QString m_draft;
    FocusLeave m_leave;
};

} // namespace qb
