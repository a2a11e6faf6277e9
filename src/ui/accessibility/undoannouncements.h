#pragma once

#include "announcer.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("tasks/undocenter.h")

namespace qb {

class UndoCenter;

// Announces each undo offer once, when its bar appears: "<message>. Undo available."
class UndoAnnouncements : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::UndoCenter *center READ center WRITE setCenter NOTIFY centerChanged)
    // What the toast exposes as its accessible description.
    Q_PROPERTY(QString text READ text NOTIFY textChanged)

public:
    explicit UndoAnnouncements(QObject *parent = nullptr);

    UndoCenter *center() const { return m_center; }
    void setCenter(UndoCenter *center);
    QString text() const { return m_default.text(); }

    // Tests record what would be spoken; null restores the description announcer.
    void setAnnouncer(Announcer *announcer) { m_announcer = announcer; }

signals:
    void centerChanged();
    void textChanged();

private:
    void pendingChanged();

    QPointer<UndoCenter> m_center;
    DescriptionAnnouncer m_default;
    Announcer *m_announcer = nullptr;
    QUuid m_lastAnnounced;
};

} // namespace qb
