#include "completionqueue.h"

#include "app/environment.h"
#include "base/singleshottimer.h"
#include "models/todorowsmodel.h"
#include "store/modelcontext.h"

namespace qb {

CompletionQueue::CompletionQueue(QObject *parent)
    : QObject(parent)
    , m_makeTimer([] { return std::make_unique<QtSingleShotTimer>(); }) {}

CompletionQueue::~CompletionQueue() = default;

void CompletionQueue::setContext(ModelContext *context) {
    m_context = context;
}

void CompletionQueue::setEnvironment(Environment *environment) {
    m_environment = environment;
}

void CompletionQueue::start(QObject *todo) {
    auto *item = qobject_cast<TodoItem *>(todo);
    if (!item || m_timers.contains(item->id()))
        return;
    const QUuid id = item->id();
    // Held until the delay ends, so the completion happens even if no view shows the row.
    auto shared = sharedTodo(item);
    std::shared_ptr<SingleShotTimer> timer = m_makeTimer();
    m_timers.insert(id, timer);
    ++m_revision;
    emit completingChanged();
    QPointer<CompletionQueue> self(this);
    timer->start(delay, [self, id, shared] {
        if (self)
            self->finish(id, shared);
    });
}

void CompletionQueue::finish(const QUuid &id, const std::shared_ptr<TodoItem> &item) {
    // Keep the timer alive until its own callback has returned.
    const auto timer = m_timers.take(id);
    // Completed from another window meanwhile, or deleted: nothing to toggle.
    if (m_context && m_environment && item && item->isInContext() && !item->isCompleted())
        m_environment->taskStore(*m_context).toggleCompletion(item);
    ++m_revision;
    emit completingChanged();
}

bool CompletionQueue::isCompleting(const QString &id) const {
    return isCompleting(QUuid::fromString(id));
}

} // namespace qb
