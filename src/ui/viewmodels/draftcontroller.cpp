#include "draftcontroller.h"

#include "app/dependency.h"
#include "app/environment.h"
#include "base/singleshottimer.h"
#include "navigation/composer.h"
#include "store/modelcontext.h"

namespace qb {

DraftController::DraftController(QObject *parent)
    : QObject(parent)
    , m_leave(
          commitDelay, [this] { return isOpen(); }, [this] { commit(); }) {}

DraftController::~DraftController() = default;

void DraftController::setTimer(std::unique_ptr<SingleShotTimer> timer) {
    m_leave.setTimer(std::move(timer));
}

void DraftController::setContext(ModelContext *context) {
    if (replaceDependency(m_context, context))
        emit dependenciesChanged();
}

void DraftController::setEnvironment(Environment *environment) {
    if (replaceDependency(m_environment, environment))
        emit dependenciesChanged();
}

void DraftController::setComposer(Composer *composer) {
    if (m_composer == composer)
        return;
    if (m_composer)
        disconnect(m_composer, nullptr, this, nullptr);
    m_composer = composer;
    if (m_composer)
        connect(m_composer, &Composer::addingToChanged, this, &DraftController::openChanged);
    emit composerChanged();
    emit openChanged();
}

void DraftController::setListRaw(const QString &raw) {
    const TodoList list = todoListFromRaw(raw).value_or(TodoList::Today);
    if (m_list == list)
        return;
    m_list = list;
    emit listChanged();
    emit openChanged();
}

void DraftController::setText(const QString &text) {
    if (m_text == text)
        return;
    m_text = text;
    emit textChanged();
}

bool DraftController::isOpen() const {
    return m_composer && m_composer->addingTo() == m_list;
}

void DraftController::setFocused(bool focused) {
    if (m_leave.setFocused(focused))
        emit focusedChanged();
}

void DraftController::commit() {
    m_leave.cancel();
    const QString title = m_text.trimmed();
    if (!title.isEmpty() && m_context && m_environment)
        m_environment->taskStore(*m_context).add(title, m_list);
    setText(QString());
    if (m_composer && m_composer->addingTo())
        m_composer->setAddingTo(std::nullopt);
}

void DraftController::commitTyped() {
    if (!m_text.trimmed().isEmpty())
        commit();
}

void DraftController::cancel() {
    if (!m_text.trimmed().isEmpty())
        return;
    m_leave.cancel();
    setText(QString());
    if (isOpen())
        m_composer->setAddingTo(std::nullopt);
}

} // namespace qb
