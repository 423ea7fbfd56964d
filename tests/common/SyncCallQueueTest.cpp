#include "common/SyncCallQueue.h"

#include <gtest/gtest.h>

#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace {

// Stands in for the window's thread: posted functions run only when the test pumps them.
class ManualPump {
public:
    SyncCallQueue::Poster Poster() {
        return [this](std::function<void()> fn) {
            std::lock_guard lock(m_mutex);
            m_posted.push_back(std::move(fn));
        };
    }
    bool RunOne() {
        std::function<void()> fn;
        {
            std::lock_guard lock(m_mutex);
            if (m_posted.empty()) {
                return false;
            }
            fn = std::move(m_posted.front());
            m_posted.pop_front();
        }
        fn();
        return true;
    }
    std::size_t Waiting() {
        std::lock_guard lock(m_mutex);
        return m_posted.size();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_posted;
};

void WaitUntilPosted(ManualPump& pump) {
    while (pump.Waiting() == 0) {
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
