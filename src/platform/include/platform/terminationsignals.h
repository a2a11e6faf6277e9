#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace qb {

// Turns the signals that end a desktop session's processes (SIGTERM at logout, SIGHUP when the
// terminal goes, SIGINT for Ctrl+C) into `received` on the main thread, so the app can quit in
// order: the last save attempt, its socket removed. After the first one a signal of the same
// kind acts as before it was caught, so a second one still ends an app whose quit hangs.
//
// One instance handles the signals at a time: a signal handler can only reach one pipe, held
// process-wide. A second one made while the first lives stays inactive.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    // Puts back the handlers that were installed before.
    ~TerminationSignals() override;

    bool isActive() const { return m_notifier != nullptr; }

    static constexpr std::array<int, 3> handledSignals{SIGTERM, SIGHUP, SIGINT};

signals:
    void received(int signalNumber);

private:
    void drain();

    int m_readEnd = -1;
    int m_writeEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::array<struct sigaction, handledSignals.size()> m_previous{};
};

} // namespace qb
