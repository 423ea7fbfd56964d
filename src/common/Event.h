#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A Win32-style event: manual-reset events stay signalled until reset, auto-reset events release one waiter
// and reset themselves, so signals that arrive while nobody waits collapse into one.
class Event {
public:
    enum class ResetMode { Manual, Automatic };

    explicit Event(ResetMode mode) : m_mode(mode) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    void Wait();
    // True when the event was signalled within the time, false on time-out.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    bool ConsumeLocked();

    const ResetMode m_mode;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled = false;
};
