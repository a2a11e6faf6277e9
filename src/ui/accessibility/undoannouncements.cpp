#include "undoannouncements.h"

#include "tasks/undocenter.h"

namespace qb {

UndoAnnouncements::UndoAnnouncements(QObject *parent)
    : QObject(parent) {
    connect(&m_default, &DescriptionAnnouncer::textChanged, this, &UndoAnnouncements::textChanged);
}

void UndoAnnouncements::setCenter(UndoCenter *center) {
    if (m_center == center)
        return;
    if (m_center)
        disconnect(m_center, nullptr, this, nullptr);
    m_center = center;
    if (m_center)
        connect(m_center, &UndoCenter::pendingChanged, this, &UndoAnnouncements::pendingChanged);
    emit centerChanged();
    pendingChanged();
}

void UndoAnnouncements::pendingChanged() {
    if (!m_center || !m_center->hasPending()) {
        m_lastAnnounced = QUuid();
        return;
    }
    if (m_center->pendingId() == m_lastAnnounced)
        return;
    m_lastAnnounced = m_center->pendingId();
    Announcer &announcer = m_announcer ? *m_announcer : static_cast<Announcer &>(m_default);
    announcer.announce(undoAnnouncement(m_center->message()));
}

} // namespace qb
