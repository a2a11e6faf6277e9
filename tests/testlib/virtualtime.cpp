#include "virtualtime.h"

namespace qb::test {

class VirtualTime::Timer final : public SingleShotTimer {
public:
    Timer(VirtualTime &time, std::shared_ptr<Slot> slot)
        : m_time(time)
        , m_slot(std::move(slot)) {}

    void start(std::chrono::milliseconds delay, std::function<void()> action) override {
        m_slot->deadline = m_time.now() + delay;
        m_slot->action = std::move(action);
    }
    void stop() override { m_slot->action = nullptr; }
    bool isActive() const override { return m_slot->action != nullptr; }

private:
    VirtualTime &m_time;
    std::shared_ptr<Slot> m_slot;
};

std::unique_ptr<SingleShotTimer> VirtualTime::makeTimer() {
    auto slot = std::make_shared<Slot>();
    m_slots.push_back(slot);
    return std::make_unique<Timer>(*this, slot);
}

void VirtualTime::advance(Milliseconds step) {
    const Milliseconds end = m_now + step;
    for (;;) {
        std::shared_ptr<Slot> next;
        for (const auto &slot : m_slots) {
            if (slot->action && slot->deadline <= end && (!next || slot->deadline < next->deadline))
                next = slot;
        }
        if (!next)
            break;
        m_now = next->deadline;
        auto action = std::move(next->action);
        next->action = nullptr;
        action();
    }
    m_now = end;
}

} // namespace qb::test
