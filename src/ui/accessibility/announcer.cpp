#include "announcer.h"

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAccessible>
#include <QAccessibleAnnouncementEvent>
#endif

namespace qb {

DescriptionAnnouncer::DescriptionAnnouncer(QObject *parent)
    : QObject(parent) {}

void DescriptionAnnouncer::announce(const QString &message) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, message);
    QAccessible::updateAccessibility(&event);
#endif
    // The same message twice in a row must still be spoken: clear, then set.
    if (m_text == message) {
        m_text.clear();
        emit textChanged();
    }
    m_text = message;
    emit textChanged();
}

QString undoAnnouncement(const QString &message) {
    return message + QStringLiteral(". Undo available.");
}

} // namespace qb
