#include "common/Sleeper.h"

#include <chrono>
#include <cstdint>
#include <thread>

void SystemSleeper::SleepMs(int durationMs) {
    std::this_thread::sleep_for(std::chrono::microseconds(std::int64_t{durationMs} * 1000 / m_speedup));
}
