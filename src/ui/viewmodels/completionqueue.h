#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUuid>

#include <qqmlregistration.h>

#include <chrono>
#include <functional>
#include <memory>

namespace qb {

class Environment;
class ModelContext;
class SingleShotTimer;

// The task lists' deferred completion: a tapped to-do shows as completing at once and is
// completed five seconds later, unless by then it is gone or already completed elsewhere.
// A second tap while it is completing does nothing. The application owns one, so leaving the
// list (another perspective, a closed window) does not cancel a completion under way.
class CompletionQueue : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the completion queue")
    // Bumped on every change, for bindings that call isCompleting().
    Q_PROPERTY(int revision READ revision NOTIFY completingChanged)

public:
    using TimerFactory = std::function<std::unique_ptr<SingleShotTimer>()>;
    static constexpr std::chrono::milliseconds delay{5000};

    explicit CompletionQueue(QObject *parent = nullptr);
    ~CompletionQueue() override;

    // Tests replace the real timers.
    void setTimerFactory(TimerFactory factory) { m_makeTimer = std::move(factory); }

    void setContext(ModelContext *context);
    void setEnvironment(Environment *environment);
    int revision() const { return m_revision; }

    Q_INVOKABLE void start(QObject *todo);
    Q_INVOKABLE bool isCompleting(const QString &id) const;
    bool isCompleting(const QUuid &id) const { return m_timers.contains(id); }

signals:
    void completingChanged();

private:
    void finish(const QUuid &id, const std::shared_ptr<class TodoItem> &item);

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    TimerFactory m_makeTimer;
    QHash<QUuid, std::shared_ptr<SingleShotTimer>> m_timers;
    int m_revision = 0;
};

} // namespace qb
