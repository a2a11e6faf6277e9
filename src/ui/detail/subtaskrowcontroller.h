#pragma once

#include "model/subtask.h"

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include <chrono>
#include <memory>

Q_MOC_INCLUDE("app/quillbrookapp.h")
Q_MOC_INCLUDE("detail/taskdetailcontroller.h")

namespace qb {

class QuillbrookApp;
class SingleShotTimer;
class TaskDetailController;

// One subtask row's draft. The title is committed when focus leaves; Return (or a line break
// typed or pasted in the middle) splits the text into a new subtask right after this one. A
// subtask that never had a title and is left empty is removed shortly after focus leaves.
class SubtaskRowController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(qb::TaskDetailController *pane READ pane WRITE setPane NOTIFY paneChanged)
    Q_PROPERTY(QObject *subtask READ subtask WRITE setSubtask NOTIFY subtaskChanged)
    Q_PROPERTY(QString draft READ draft WRITE editDraft NOTIFY draftChanged)
    Q_PROPERTY(bool focused READ focused WRITE setFocused NOTIFY focusedChanged)

public:
    static constexpr std::chrono::milliseconds emptyDeleteDelay{200};

    explicit SubtaskRowController(QObject *parent = nullptr);
    ~SubtaskRowController() override;

    void setTimer(std::unique_ptr<SingleShotTimer> timer);

    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);
    TaskDetailController *pane() const { return m_pane; }
    void setPane(TaskDetailController *pane);
    QObject *subtask() const { return m_subtask.get(); }
    void setSubtask(QObject *subtask);
    QString draft() const { return m_draft; }
    // Text typed into the field; a line break splits it.
    void editDraft(const QString &text);
    bool focused() const { return m_focused; }
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
    void appChanged();
    void paneChanged();
    void subtaskChanged();
    void draftChanged();
    void focusedChanged();

private:
    bool usable() const;
    void setDraft(const QString &text);
    void scheduleEmptyDelete();

    QPointer<QuillbrookApp> m_app;
    QPointer<TaskDetailController> m_pane;
    SubtaskPtr m_subtask;
    QString m_draft;
    bool m_focused = false;
    std::unique_ptr<SingleShotTimer> m_emptyDeleteTimer;
};

} // namespace qb
