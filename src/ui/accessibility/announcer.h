#pragma once

#include <QObject>
#include <QString>

#include <qqmlregistration.h>

namespace qb {

// Speaks a short message through the platform's accessibility service.
class Announcer {
public:
    virtual ~Announcer() = default;
    virtual void announce(const QString &message) = 0;
};

// Qt 6.4's Linux accessibility bridge has no announcement event and ignores alerts, but screen
// readers speak a changed accessible description of the focused or live item. QML binds the
// toast's Accessible.description to `text`.
class DescriptionAnnouncer : public QObject, public Announcer {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)

public:
    explicit DescriptionAnnouncer(QObject *parent = nullptr);

    QString text() const { return m_text; }
    Q_INVOKABLE void announce(const QString &message) override;

signals:
    void textChanged();

private:
    QString m_text;
};

// The toast's announcement: the offer's message followed by ". Undo available.".
QString undoAnnouncement(const QString &message);

} // namespace qb
