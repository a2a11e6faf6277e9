#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

namespace qb {

// A restartable one-shot timer. Services take one instead of making their own QTimer, so
// tests can fire it by hand instead of waiting.
class SingleShotTimer {
public:
    virtual ~SingleShotTimer() = default;

    // Replaces any earlier start: only the latest action runs, once, after `delay`.
    virtual void start(std::chrono::milliseconds delay, std::function<void()> action) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The real thing, on the Qt event loop, never ending before its delay.
class QtSingleShotTimer final : public SingleShotTimer {
public:
    QtSingleShotTimer();

    void start(std::chrono::milliseconds delay, std::function<void()> action) override;
    void stop() override;
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_action;
};

} // namespace qb
