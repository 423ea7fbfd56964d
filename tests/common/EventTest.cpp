#include "common/Event.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(Event, AutoResetReleasesOneWaitAndCollapsesSignals) {
    Event event(Event::ResetMode::Automatic);
    event.Set();
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_FALSE(event.WaitFor(0ms));
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::ResetMode::Manual);
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_TRUE(event.WaitFor(0ms));
    event.Reset();
    EXPECT_FALSE(event.WaitFor(1ms));
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    Event event(Event::ResetMode::Automatic);
    std::thread waiter([&] { event.Wait(); });
    event.Set();
    waiter.join();
    EXPECT_FALSE(event.WaitFor(0ms));
}

} // namespace
