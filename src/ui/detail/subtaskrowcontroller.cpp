#include "subtaskrowcontroller.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "base/singleshottimer.h"
#include "store/modelcontext.h"
#include "taskdetailcontroller.h"
#include "tasks/taskstore.h"

namespace qb {

namespace {

// Spaces and tabs only: line breaks are what split the text in the first place.
QString trimmedHorizontally(const QString &text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    while (end > start && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(start, end - start);
}

} // namespace

SubtaskRowController::SubtaskRowController(QObject *parent)
    : QObject(parent)
    , m_leave(
          emptyDeleteDelay, [this] { return isEmpty(); }, [this] { remove(); }) {}

SubtaskRowController::~SubtaskRowController() = default;

void SubtaskRowController::setTimer(std::unique_ptr<SingleShotTimer> timer) {
    m_leave.setTimer(std::move(timer));
}

void SubtaskRowController::setContext(ModelContext *context) {
    if (replaceDependency(m_context, context))
        emit dependenciesChanged();
}

void SubtaskRowController::setEnvironment(Environment *environment) {
    if (replaceDependency(m_environment, environment))
        emit dependenciesChanged();
}

void SubtaskRowController::setPane(TaskDetailController *pane) {
    if (m_pane == pane)
        return;
    m_pane = pane;
    emit paneChanged();
}

void SubtaskRowController::setSubtask(QObject *subtask) {
    auto *row = qobject_cast<Subtask *>(subtask);
    SubtaskPtr shared = row ? std::static_pointer_cast<Subtask>(row->shared_from_this()) : nullptr;
    if (shared == m_subtask)
        return;
    if (m_subtask)
        disconnect(m_subtask.get(), nullptr, this, nullptr);
    m_subtask = std::move(shared);
    if (m_subtask) {
        // The stored title changed underneath (another window, a remote change): follow it.
        connect(m_subtask.get(), &Subtask::titleChanged, this, [this] {
            if (m_subtask->title() != m_draft)
                setDraft(m_subtask->title());
        });
    }
    setDraft(m_subtask ? m_subtask->title() : QString());
    emit subtaskChanged();
}

bool SubtaskRowController::usable() const {
    return m_context && m_environment && m_subtask && m_subtask->isInContext();
}

void SubtaskRowController::setDraft(const QString &text) {
    if (m_draft == text)
        return;
    m_draft = text;
    emit draftChanged();
}

void SubtaskRowController::editDraft(const QString &text) {
    if (!text.contains(u'\n')) {
        setDraft(text);
        return;
    }
    QStringList pieces = text.split(u'\n');
    setDraft(pieces.takeFirst());
    returnPressed(trimmedHorizontally(pieces.join(u' ')));
}

void SubtaskRowController::setFocused(bool focused) {
    if (m_leave.hasFocus() == focused)
        return;
    // The title is written before the empty check runs, as leaving writes it.
    if (!focused)
        commit();
    m_leave.setFocused(focused);
    emit focusedChanged();
}

void SubtaskRowController::commit() {
    if (!usable())
        return;
    if (!m_environment->taskStore(*m_context).renameSubtask(m_subtask, m_draft))
        setDraft(m_subtask->title());
}

bool SubtaskRowController::isEmpty() const {
    if (!m_subtask || !m_subtask->isInContext() || !m_subtask->title().isEmpty())
        return false;
    return m_draft.trimmed().isEmpty();
}

void SubtaskRowController::toggle() {
    if (usable())
        m_environment->taskStore(*m_context).toggleSubtask(m_subtask);
}

void SubtaskRowController::remove() {
    if (usable())
        m_environment->taskStore(*m_context).deleteSubtask(m_subtask);
}

void SubtaskRowController::returnPressed(const QString &rest) {
    if (m_draft.trimmed().isEmpty() && rest.isEmpty()) {
        setFocused(false);
        return;
    }
    commit();
    if (m_pane && m_subtask)
        m_pane->insertSubtaskAfter(m_subtask->id().toString(QUuid::WithoutBraces), rest);
}

void SubtaskRowController::disappear() {
    m_leave.cancel();
    if (isEmpty())
        remove();
}

} // namespace qb
