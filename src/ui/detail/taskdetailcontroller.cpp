#include "taskdetailcontroller.h"

#include "app/taskservices.h"
#include "base/singleshottimer.h"
#include "detail/subtasklistmodel.h"
#include "models/todorowsmodel.h"
#include "store/modelcontext.h"
#include "tasks/taskstore.h"
#include "tasks/undocenter.h"

#include <algorithm>

namespace qb {

TaskDetailController::TaskDetailController(QObject *parent)
    : QObject(parent)
    , m_addFieldLeave(
          addFieldCloseDelay, [this] { return m_newSubtaskDraft.trimmed().isEmpty(); },
          [this] { setAddingSubtask(false); }) {}

TaskDetailController::~TaskDetailController() = default;

void TaskDetailController::setTimer(std::unique_ptr<SingleShotTimer> timer) {
    m_addFieldLeave.setTimer(std::move(timer));
}

void TaskDetailController::setContext(ModelContext *context) {
    if (replaceDependency(m_context, context))
        emit dependenciesChanged();
}

void TaskDetailController::setEnvironment(Environment *environment) {
    if (replaceDependency(m_environment, environment))
        emit dependenciesChanged();
}

void TaskDetailController::setUndoCenter(UndoCenter *undoCenter) {
    if (replaceDependency(m_undoCenter, undoCenter))
        emit dependenciesChanged();
}

TaskServices TaskDetailController::services() const {
    return {m_context, m_environment, m_undoCenter};
}

QObject *TaskDetailController::todo() const {
    return m_todo.get();
}

void TaskDetailController::setTodo(QObject *todo) {
    TodoItemPtr shared = sharedTodo(todo);
    if (shared == m_todo)
        return;
    if (m_todo) {
        commitAll();
        disconnect(m_todo.get(), nullptr, this, nullptr);
    }
    m_todo = std::move(shared);
    m_selectedTab = QStringLiteral("subtasks");
    m_newSubtaskDraft.clear();
    m_isAddingSubtask = false;
    m_focusRequest = QUuid();
    m_addFieldLeave.cancel();
    if (m_todo) {
        connect(m_todo.get(), &TodoItem::titleChanged, this,
                &TaskDetailController::followStoredTitle);
        connect(m_todo.get(), &TodoItem::notesChanged, this,
                &TaskDetailController::followStoredNotes);
        connect(m_todo.get(), &TodoItem::subtasksChanged, this,
                &TaskDetailController::watchSubtasks);
        connect(m_todo.get(), &TodoItem::changesChanged, this,
                &TaskDetailController::countsChanged);
    }
    watchSubtasks();
    m_titleDraft = m_todo ? m_todo->title() : QString();
    m_notesDraft = m_todo ? m_todo->notes() : QString();
    emit todoChanged();
    emit titleDraftChanged();
    emit notesDraftChanged();
    emit newSubtaskDraftChanged();
    emit selectedTabChanged();
    emit isAddingSubtaskChanged();
    emit focusRequestIdChanged();
    emit countsChanged();
}

bool TaskDetailController::usable() const {
    return services().ready() && m_todo && m_todo->isInContext();
}

void TaskDetailController::setTitleDraft(const QString &text) {
    if (m_titleDraft == text)
        return;
    m_titleDraft = text;
    emit titleDraftChanged();
}

void TaskDetailController::editTitle(const QString &text) {
    if (!text.contains(u'\n')) {
        setTitleDraft(text);
        return;
    }
    QString joined = text;
    joined.replace(u'\n', u' ');
    setTitleDraft(joined.trimmed());
    commitTitle();
    setFocusedField(QString());
}

void TaskDetailController::setNotesDraft(const QString &text) {
    if (m_notesDraft == text)
        return;
    m_notesDraft = text;
    emit notesDraftChanged();
}

void TaskDetailController::setNewSubtaskDraft(const QString &text) {
    if (m_newSubtaskDraft == text)
        return;
    m_newSubtaskDraft = text;
    emit newSubtaskDraftChanged();
}

void TaskDetailController::followStoredTitle() {
    if (m_todo && m_todo->title() != m_titleDraft)
        setTitleDraft(m_todo->title());
}

void TaskDetailController::followStoredNotes() {
    if (m_todo && m_todo->notes() != m_notesDraft)
        setNotesDraft(m_todo->notes());
}

void TaskDetailController::commitTitle() {
    if (!usable())
        return;
    const TaskServices tasks = services();
    tasks.offer(tasks.store().setTitle(m_todo, m_titleDraft));
}

void TaskDetailController::commitNotes() {
    if (!usable())
        return;
    const TaskServices tasks = services();
    tasks.offer(tasks.store().setNotes(m_todo, m_notesDraft));
}

void TaskDetailController::setFocusedField(const QString &field) {
    if (m_focusedField == field)
        return;
    const QString previous = m_focusedField;
    m_focusedField = field;
    emit focusedFieldChanged();
    if (previous == u"title")
        commitTitle();
    else if (previous == u"notes")
        commitNotes();
}

void TaskDetailController::selectTab(const QString &tab) {
    if (m_selectedTab == tab)
        return;
    const QString previous = m_selectedTab;
    m_selectedTab = tab;
    emit selectedTabChanged();
    commitTitle();
    commitNotes();
    if (previous == u"subtasks") {
        commitNewSubtask();
        endAdding();
    }
}

void TaskDetailController::commitNewSubtask() {
    if (!usable())
        return;
    const QString title = m_newSubtaskDraft.trimmed();
    if (title.isEmpty())
        return;
    setNewSubtaskDraft(QString());
    services().store().addSubtask(m_todo, title);
}

void TaskDetailController::setAddingSubtask(bool adding) {
    if (m_isAddingSubtask == adding)
        return;
    m_isAddingSubtask = adding;
    emit isAddingSubtaskChanged();
}

void TaskDetailController::endAdding() {
    m_addFieldLeave.cancel();
    setAddingSubtask(false);
    setAddSubtaskFocused(false);
    setNewSubtaskDraft(QString());
}

void TaskDetailController::submitNewSubtask() {
    const QString title = m_newSubtaskDraft.trimmed();
    setNewSubtaskDraft(QString());
    if (title.isEmpty() || !usable()) {
        endAdding();
        return;
    }
    services().store().addSubtask(m_todo, title);
    setAddingSubtask(true);
    setAddSubtaskFocused(true);
}

void TaskDetailController::setAddSubtaskFocused(bool focused) {
    if (m_addFieldLeave.setFocused(focused))
        emit addSubtaskFocusedChanged();
}

QString TaskDetailController::focusRequestId() const {
    return m_focusRequest.isNull() ? QString() : m_focusRequest.toString(QUuid::WithoutBraces);
}

void TaskDetailController::insertSubtaskAfter(const QString &afterId, const QString &text) {
    endAdding();
    if (!usable())
        return;
    SubtaskPtr after;
    const QUuid id = QUuid::fromString(afterId);
    for (const auto &subtask : m_todo->subtasks()) {
        if (subtask->id() == id)
            after = subtask;
    }
    const auto created = services().store().insertSubtask(text, after, m_todo);
    if (created) {
        m_focusRequest = created->id();
        emit focusRequestIdChanged();
    }
}

void TaskDetailController::focusHandled(const QString &subtaskId) {
    if (m_focusRequest.isNull() || QUuid::fromString(subtaskId) != m_focusRequest)
        return;
    m_focusRequest = QUuid();
    emit focusRequestIdChanged();
}

void TaskDetailController::moveSubtask(int from, int to) {
    if (!usable())
        return;
    const QList<SubtaskPtr> shown = shownSubtasks(*m_todo);
    const QList<int> order = TaskStore::movedOrder(int(shown.size()), {from}, to);
    // Dropped where it was (or nothing to move): no store call, no save.
    if (std::is_sorted(order.cbegin(), order.cend()))
        return;
    QList<SubtaskPtr> moved;
    for (int index : order)
        moved.append(shown[index]);
    services().store().reorderSubtasks(moved);
}

void TaskDetailController::toggleCompletion() {
    if (usable())
        services().store().toggleCompletion(m_todo);
}

void TaskDetailController::commitAll() {
    commitTitle();
    commitNotes();
    commitNewSubtask();
}

void TaskDetailController::watchSubtasks() {
    if (m_todo) {
        // Ticking a subtask changes the open count on the Subtasks tab.
        for (const auto &subtask : m_todo->subtasks())
            connect(subtask.get(), &Subtask::isCompletedChanged, this,
                    &TaskDetailController::countsChanged, Qt::UniqueConnection);
    }
    emit countsChanged();
}

int TaskDetailController::openSubtaskCount() const {
    if (!m_todo)
        return 0;
    const auto [done, total] = m_todo->subtaskProgress();
    return total - done;
}

int TaskDetailController::changeCount() const {
    return m_todo ? int(m_todo->changes().size()) : 0;
}

} // namespace qb
