#include "common/SyncCallQueue.h"

#include "support/ManualPump.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

void WaitUntilPosted(ManualPump& pump) {
    while (!pump.HasPosted()) {
        std::this_thread::yield();
    }
}

TEST(SyncCallQueue, CallReturnsOnlyAfterTheWindowThreadRanIt) {
    ManualPump pump;
    SyncCallQueue queue(pump.Poster());
    std::atomic<bool> ran{false};
    auto call = std::async(std::launch::async, [&] { return queue.Call([&] { ran = true; }); });
    WaitUntilPosted(pump);
    EXPECT_EQ(call.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
    ASSERT_TRUE(pump.RunOne());
    EXPECT_TRUE(call.get());
    EXPECT_TRUE(ran);
}

TEST(SyncCallQueue, CloseReleasesAWaitingCallerAndTheLateTaskDoesNothing) {
    ManualPump pump;
    std::atomic<bool> ran{false};
    std::future<bool> call;
    {
        SyncCallQueue queue(pump.Poster());
        call = std::async(std::launch::async, [&] { return queue.Call([&] { ran = true; }); });
        WaitUntilPosted(pump);
        queue.Close();
        EXPECT_FALSE(call.get());
        EXPECT_FALSE(queue.Call([&] { ran = true; }));
    }
    // The queue is gone; its posted task must still be safe to run.
    EXPECT_TRUE(pump.RunOne());
    EXPECT_FALSE(ran);
}

} // namespace
