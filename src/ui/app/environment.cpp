#include "environment.h"

#include "base/singleshottimer.h"
#include "model/dayhelpers.h"

#include <algorithm>

namespace qb {

Environment::Environment(TaskEnvironment tasks, std::unique_ptr<SingleShotTimer> dayTimer,
                         QObject *parent)
    : QObject(parent)
    , m_tasks(std::move(tasks))
    , m_dayTimer(std::move(dayTimer))
    , m_today(m_tasks.calendar.startOfDay(now())) {
    waitForMidnight();
}

Environment::~Environment() {
    m_dayTimer->stop();
}

void Environment::refresh() {
    const QDateTime today = m_tasks.calendar.startOfDay(now());
    waitForMidnight();
    if (today != m_today) {
        m_today = today;
        emit todayChanged();
    }
    emit refreshed();
}

void Environment::waitForMidnight() {
    // A timer may fire a little early; the refresh then simply waits again.
    const qint64 left = now().msecsTo(startOfNextDay(now(), m_tasks.calendar));
    m_dayTimer->start(std::chrono::milliseconds(std::max<qint64>(left, 1)), [this] { refresh(); });
}

} // namespace qb
