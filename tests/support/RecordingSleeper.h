#pragma once

#include "common/Sleeper.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

// Records every pause it is asked for and returns after realMsPerCall of real time (none by default), so
// code that paces itself runs at full speed while other threads still get to run.
class RecordingSleeper final : public Sleeper {
public:
    explicit RecordingSleeper(int realMsPerCall = 0) : m_realMsPerCall(realMsPerCall) {}

    void SleepMs(int durationMs) override {
        {
            std::lock_guard lock(m_mutex);
            m_pauses.push_back(durationMs);
        }
        if (m_realMsPerCall > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(m_realMsPerCall));
        }
    }

    std::vector<int> Pauses() const {
        std::lock_guard lock(m_mutex);
        return m_pauses;
    }

private:
    const int m_realMsPerCall;
    mutable std::mutex m_mutex;
    std::vector<int> m_pauses;
};
