#include "store/idlecheckpoint.h"

#include "base/singleshottimer.h"
#include "store/modelcontext.h"

#include <QDebug>

namespace qb {

IdleCheckpoint::IdleCheckpoint(ModelContext &context, std::unique_ptr<SingleShotTimer> timer,
                               QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_timer(std::move(timer)) {
    // Without the larger limit SQLite would still copy inside a save every 1000 pages; should
    // it refuse, that is what happens, which is slower but no less safe.
    if (const Status status = m_context.setCheckpointLimit(fallbackLimitPages); !status)
        qWarning("Keeping the default log limit: %s", qPrintable(status.message()));
    connect(&m_context, &ModelContext::didSave, this, [this] {
        m_timer->start(idleDelay, [this] {
            // A failed copy is retried after the next save; the log keeps every commit.
            if (const Status status = m_context.checkpoint(); !status)
                qWarning("Store log not copied: %s", qPrintable(status.message()));
        });
    });
}

IdleCheckpoint::~IdleCheckpoint() = default;

} // namespace qb
