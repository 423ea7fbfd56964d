#include "common/Sleeper.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds TimeOf(SystemSleeper& sleeper, int durationMs) {
    const auto start = Clock::now();
    sleeper.SleepMs(durationMs);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(SystemSleeper, SleepsAtLeastTheWholeTime) {
    SystemSleeper sleeper;
    EXPECT_GE(TimeOf(sleeper, 30).count(), 30);
}

// Only an upper bound: a loaded machine may let any sleep run long, but never a 2 s sleep past 1 s when it
// is cut to 2 ms.
TEST(SystemSleeper, SpeedupCutsEveryPauseThatManyTimes) {
    SystemSleeper sleeper(1000);
    EXPECT_LT(TimeOf(sleeper, 2000).count(), 1000);
    SystemSleeper tenTimes(10);
    const auto tenth = TimeOf(tenTimes, 300);
    EXPECT_GE(tenth.count(), 30);
    EXPECT_LT(tenth.count(), 300);
}

} // namespace
