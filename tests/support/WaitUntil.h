#pragma once

#include <chrono>
#include <thread>

// Polls a condition every millisecond until it holds or the limit has passed; true when it held. Tests wait
// on what another thread does this way instead of sleeping for a time they hope is long enough.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(2)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
