#include "base/singleshottimer.h"

namespace qb {

QtSingleShotTimer::QtSingleShotTimer() {
    m_timer.setSingleShot(true);
    // A coarse timer may end 5% early: 0.2 s off a 4-second undo offer the user was promised.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        // Moved out first: the action may start the timer again with a new one.
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        if (action)
            action();
    });
}

void QtSingleShotTimer::start(std::chrono::milliseconds delay, std::function<void()> action) {
    m_action = std::move(action);
    m_timer.start(delay);
}

void QtSingleShotTimer::stop() {
    m_timer.stop();
    m_action = nullptr;
}

} // namespace qb
