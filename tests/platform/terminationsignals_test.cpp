#include "platform/terminationsignals.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>

using namespace qb;

namespace {

void (*handlerOf(int signalNumber))(int) {
    struct sigaction current {};
    ::sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

extern "C" void placeholderHandler(int) {}

} // namespace

TEST(TerminationSignals, eachSignalArrivesOnTheEventLoopAndOnlyTheFirstIsCaught) {
    TerminationSignals termination;
    ASSERT_TRUE(termination.isActive());
    for (const int signalNumber : TerminationSignals::handledSignals) {
        QSignalSpy received(&termination, &TerminationSignals::received);
        ASSERT_EQ(std::raise(signalNumber), 0);
        // Still alive: the signal became an event for the main loop.
        ASSERT_TRUE(received.wait(5000)) << signalNumber;
        ASSERT_EQ(received.count(), 1);
        EXPECT_EQ(received.first().first().toInt(), signalNumber);
        // A second one would end the process, as if never caught.
        EXPECT_EQ(handlerOf(signalNumber), SIG_DFL) << signalNumber;
    }
}

TEST(TerminationSignals, theHandlersBeforeComeBackAndOnlyOneInstanceListens) {
    std::signal(SIGTERM, placeholderHandler);
    {
        TerminationSignals first;
        TerminationSignals second;
        EXPECT_TRUE(first.isActive());
        EXPECT_FALSE(second.isActive());
        EXPECT_NE(handlerOf(SIGTERM), placeholderHandler);
    }
    EXPECT_EQ(handlerOf(SIGTERM), placeholderHandler);
    // With the first gone, a new one can take over.
    EXPECT_TRUE(TerminationSignals().isActive());
    std::signal(SIGTERM, SIG_DFL);
}
