#pragma once

#include <QDateTime>

#include <functional>

namespace qb {

// Source of "now". Production code receives one instead of reading the system clock, so tests
// can pin the moment.
class Clock {
public:
    using NowFunction = std::function<QDateTime()>;

    explicit Clock(NowFunction now)
        : m_now(std::move(now)) {}

    static Clock system() {
        return Clock([] { return QDateTime::currentDateTimeUtc(); });
    }
    static Clock fixed(const QDateTime &moment) {
        const QDateTime utc = moment.toUTC();
        return Clock([utc] { return utc; });
    }

    QDateTime now() const { return m_now(); }

private:
    NowFunction m_now;
};

} // namespace qb
