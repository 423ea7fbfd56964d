#pragma once

#include "common/SyncCallQueue.h"

#include <deque>
#include <functional>
#include <mutex>

// Stands in for the window's thread: posted functions run only when the test pumps them.
class ManualPump {
public:
    SyncCallQueue::Poster Poster() {
        return [this](std::function<void()> fn) {
            std::lock_guard lock(m_mutex);
            m_posted.push_back(std::move(fn));
        };
    }
    // Runs the oldest posted function; false when none was waiting.
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
    bool HasPosted() {
        std::lock_guard lock(m_mutex);
        return !m_posted.empty();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_posted;
};
