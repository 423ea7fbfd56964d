#include "common/Sleeper.h"

#include <chrono>
#include <thread>

void SystemSleeper::SleepMs(int durationMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
}
