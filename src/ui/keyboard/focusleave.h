#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace qb {

class SingleShotTimer;

// Acts shortly after focus leaves a field, unless it comes back first. The owner reports focus
// changes; `wanted` is asked when focus leaves and again when the delay is over, so the action
// runs only if it still applies then.
class FocusLeave {
public:
    FocusLeave(std::chrono::milliseconds delay, std::function<bool()> wanted,
               std::function<void()> action);
    ~FocusLeave();
    FocusLeave(const FocusLeave &) = delete;
    FocusLeave &operator=(const FocusLeave &) = delete;

    void setTimer(std::unique_ptr<SingleShotTimer> timer);

    bool hasFocus() const { return m_focused; }
    // False when the focus is already so. Coming back cancels a pending action.
    bool setFocused(bool focused);
    // Drops a pending action; the focus stays as it is.
    void cancel();

private:
    std::chrono::milliseconds m_delay;
    std::function<bool()> m_wanted;
    std::function<void()> m_action;
    std::unique_ptr<SingleShotTimer> m_timer;
    bool m_focused = false;
};

} // namespace qb
