#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("app/quillbrookapp.h")

namespace qb {

class QuillbrookApp;

// The sidebar's badges: open to-dos in Today (overdue included) and in Later, for the
// window's reference day. Counted by the store, re-counted after every change.
class SidebarCounts : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::QuillbrookApp *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(
        QDateTime referenceDay READ referenceDay WRITE setReferenceDay NOTIFY referenceDayChanged)
    Q_PROPERTY(int today READ today NOTIFY countsChanged)
    Q_PROPERTY(int later READ later NOTIFY countsChanged)

public:
    explicit SidebarCounts(QObject *parent = nullptr);

    QuillbrookApp *app() const { return m_app; }
    void setApp(QuillbrookApp *app);
    QDateTime referenceDay() const { return m_referenceDay; }
    void setReferenceDay(const QDateTime &day);
    int today() const { return m_today; }
    int later() const { return m_later; }

signals:
    void appChanged();
    void referenceDayChanged();
    void countsChanged();

private:
    void recount();

    QPointer<QuillbrookApp> m_app;
    QDateTime m_referenceDay;
    int m_today = 0;
    int m_later = 0;
};

} // namespace qb
