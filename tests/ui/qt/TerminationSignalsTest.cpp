#include "ui/qt/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QTest>

#include <csignal>
#include <string>

namespace {

volatile std::sig_atomic_t g_ownHandlerRan = 0;

void OwnHandler(int) {
    g_ownHandlerRan = 1;
}

void SetDisposition(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
}

void (*Disposition(int signalNumber))(int) {
    struct sigaction action {};
    ::sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

// Each signal the program handles, with what it did before the program started handling it; the test's
// own disposition is put back afterwards.
class TerminationSignalsTest : public testing::TestWithParam<int> {
protected:
    TerminationSignalsTest() { ::sigaction(GetParam(), nullptr, &m_saved); }
    ~TerminationSignalsTest() override { ::sigaction(GetParam(), &m_saved, nullptr); }

private:
    struct sigaction m_saved {};
};

TEST_P(TerminationSignalsTest, ASignalReachesTheWindowsThreadAndTheOldHandlerComesBackAfterwards) {
    const int signalNumber = GetParam();
    SetDisposition(signalNumber, OwnHandler);
    g_ownHandlerRan = 0;
    int requests = 0;
    {
        const TerminationSignals handled([&requests] { ++requests; });
        std::raise(signalNumber);
        EXPECT_TRUE(QTest::qWaitFor([&] { return requests > 0; }, 2000));
        EXPECT_EQ(requests, 1);
        EXPECT_EQ(g_ownHandlerRan, 0);
    }
    EXPECT_EQ(Disposition(signalNumber), &OwnHandler);
    std::raise(signalNumber);
    EXPECT_EQ(g_ownHandlerRan, 1);
}

// nohup, or a background job of a shell, starts the program with the signal ignored.
TEST_P(TerminationSignalsTest, ASignalIgnoredAtTheStartStaysIgnored) {
    const int signalNumber = GetParam();
    SetDisposition(signalNumber, SIG_IGN);
    int requests = 0;
    {
        const TerminationSignals handled([&requests] { ++requests; });
        EXPECT_EQ(Disposition(signalNumber), SIG_IGN);
        std::raise(signalNumber);
        QTest::qWait(50);
        EXPECT_EQ(requests, 0);
    }
    EXPECT_EQ(Disposition(signalNumber), SIG_IGN);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalsTest, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const testing::TestParamInfo<int>& testCase) {
                             return std::string(testCase.param == SIGTERM  ? "Term"
                                                : testCase.param == SIGINT ? "Int"
                                                                           : "Hup");
                         });

} // namespace
