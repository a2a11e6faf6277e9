#pragma once

#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace qb {

class SingleShotTimer;

// Holds the single undo offer on show. A new offer replaces the old one at once; each offer
// is dropped after its own four seconds unless replaced, dismissed or used first.
class UndoCenter : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasPending READ hasPending NOTIFY pendingChanged)
    Q_PROPERTY(QString message READ message NOTIFY pendingChanged)
    Q_PROPERTY(QString systemImage READ systemImage NOTIFY pendingChanged)
    Q_PROPERTY(QUuid pendingId READ pendingId NOTIFY pendingChanged)
    Q_PROPERTY(double springResponse MEMBER springResponseSeconds CONSTANT)
    Q_PROPERTY(double springDamping MEMBER springDampingFraction CONSTANT)

public:
    struct Action {
        QUuid id = QUuid::createUuid();
        QString message;
        QString systemImage; // a symbol name
        std::function<void()> undo;
    };

    static constexpr std::chrono::milliseconds lifetime{4000};
    // How the UI animates every change of the pending offer: a spring.
    static constexpr double springResponseSeconds = 0.35;
    static constexpr double springDampingFraction = 0.85;

    explicit UndoCenter(std::unique_ptr<SingleShotTimer> timer, QObject *parent = nullptr);
    ~UndoCenter() override;

    const std::optional<Action> &pending() const { return m_pending; }
    bool hasPending() const { return m_pending.has_value(); }
    QString message() const { return m_pending ? m_pending->message : QString(); }
    QString systemImage() const { return m_pending ? m_pending->systemImage : QString(); }
    QUuid pendingId() const { return m_pending ? m_pending->id : QUuid(); }

    void offer(Action action);
    Q_INVOKABLE void dismiss();
    // Runs the pending offer's undo once, then dismisses it. Does nothing when none is pending.
    Q_INVOKABLE void usePending();

signals:
    void pendingChanged();

private:
    std::unique_ptr<SingleShotTimer> m_timer;
    std::optional<Action> m_pending;
};

} // namespace qb
