#include "draftcontroller.h"

#include "app/quillbrookapp.h"
#include "base/singleshottimer.h"
#include "navigation/composer.h"

namespace qb {

DraftController::DraftController(QObject *parent)
    : QObject(parent)
    , m_timer(std::make_unique<QtSingleShotTimer>()) {}

DraftController::~DraftController() = default;

void DraftController::setTimer(std::unique_ptr<SingleShotTimer> timer) {
    m_timer = std::move(timer);
}

void DraftController::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
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
    if (m_focused == focused)
        return;
    m_focused = focused;
    emit focusedChanged();
    m_timer->stop();
    if (focused || !isOpen())
        return;
    QPointer<DraftController> self(this);
    m_timer->start(commitDelay, [self] {
        if (self && !self->m_focused && self->isOpen())
            self->commit();
    });
}

void DraftController::commit() {
    m_timer->stop();
    const QString title = m_text.trimmed();
    if (!title.isEmpty() && m_app)
        m_app->taskStore().add(title, m_list);
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
    m_timer->stop();
    setText(QString());
    if (isOpen())
        m_composer->setAddingTo(std::nullopt);
}

} // namespace qb
