#include "focusleave.h"

#include "base/singleshottimer.h"

namespace qb {

FocusLeave::FocusLeave(std::chrono::milliseconds delay, std::function<bool()> wanted,
                       std::function<void()> action)
    : m_delay(delay)
    , m_wanted(std::move(wanted))
    , m_action(std::move(action))
    , m_timer(std::make_unique<QtSingleShotTimer>()) {}

// Not every timer drops its action when it goes away: a pending one must not outlive its owner.
FocusLeave::~FocusLeave() {
    m_timer->stop();
}

void FocusLeave::setTimer(std::unique_ptr<SingleShotTimer> timer) {
    m_timer->stop();
    m_timer = std::move(timer);
}

bool FocusLeave::setFocused(bool focused) {
    if (m_focused == focused)
        return false;
    m_focused = focused;
    m_timer->stop();
    if (!focused && m_wanted()) {
        m_timer->start(m_delay, [this] {
            if (!m_focused && m_wanted())
                m_action();
        });
    }
    return true;
}

void FocusLeave::cancel() {
    m_timer->stop();
}

} // namespace qb
