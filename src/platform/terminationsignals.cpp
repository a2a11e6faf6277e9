#include "platform/terminationsignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace qb {

namespace {

// Where the handler writes: the only state a signal handler can reach.
std::atomic<int> signalPipe{-1};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    // The signal's next delivery gets the default action: a second one ends the process.
    std::signal(signalNumber, SIG_DFL);
    if (const int fd = signalPipe.load(); fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        // A full pipe already holds a signal the app has yet to act on.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    int expected = -1;
    if (!signalPipe.compare_exchange_strong(expected, ends[1])) {
        // Another instance already handles the signals.
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &action, &m_previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (!isActive())
        return;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &m_previous[i], nullptr);
    signalPipe.store(-1);
    ::close(m_writeEnd);
    ::close(m_readEnd);
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (::read(m_readEnd, &byte, 1) == 1)
        emit received(byte);
}

} // namespace qb
