#include "tasks/undocenter.h"

#include "base/singleshottimer.h"

#include <QPointer>

namespace qb {

UndoCenter::UndoCenter(std::unique_ptr<SingleShotTimer> timer, QObject *parent)
    : QObject(parent)
    , m_timer(std::move(timer)) {}

UndoCenter::~UndoCenter() = default;

void UndoCenter::offer(Action action) {
    // Restarting the one timer cancels the previous offer's countdown, so an old offer can
    // never dismiss its successor.
    m_timer->stop();
    m_pending = std::move(action);
    emit pendingChanged();
    QPointer<UndoCenter> self(this);
    m_timer->start(lifetime, [self] {
        if (self)
            self->dismiss();
    });
}

void UndoCenter::dismiss() {
    m_timer->stop();
    if (!m_pending)
        return;
    m_pending.reset();
    emit pendingChanged();
}

void UndoCenter::usePending() {
    if (!m_pending)
        return;
    // Taken out first: the undo may offer something new, which must survive the dismiss.
    const auto undo = m_pending->undo;
    const QUuid used = m_pending->id;
    if (undo)
        undo();
    if (m_pending && m_pending->id == used)
        dismiss();
}

} // namespace qb
