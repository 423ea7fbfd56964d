#include "common/Event.h"

void Event::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    if (m_mode == ResetMode::Automatic) {
        m_changed.notify_one();
    } else {
        m_changed.notify_all();
    }
}

void Event::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool Event::ConsumeLocked() {
    if (!m_signalled) {
        return false;
    }
    if (m_mode == ResetMode::Automatic) {
        m_signalled = false;
    }
    return true;
}

void Event::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_signalled; });
    ConsumeLocked();
}

bool Event::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_signalled; });
    return ConsumeLocked();
}
