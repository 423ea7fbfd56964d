#pragma once

#include "common/Event.h"
#include "device/CCUsbHid.h"
#include "protocol/ReadingPipeline.h"

#include <atomic>
#include <thread>

struct ReadingTimings {
    int startDelayMs = 50;
    int copyDelayMs = 20; // lets the reply arrive after the poll tick
    int restMs = 50;
};

// Woken by each poll tick, runs one reading pass over the channel's newest report.
class ReadingThread {
public:
    ReadingThread(CCUsbHid& channel, ReadingPipeline& pipeline, Event& pollEvent, ReadingTimings timings = {})
        : m_channel(channel), m_pipeline(pipeline), m_pollEvent(pollEvent), m_timings(timings) {}
    ~ReadingThread() { Stop(); }
    ReadingThread(const ReadingThread&) = delete;
    ReadingThread& operator=(const ReadingThread&) = delete;

    // False when the thread could not be created.
    bool Start();
    // Ends the thread and joins it. A pass waiting on the window is cut short at its next check, so the
    // window's display must first release its waits (the window closes its call queue before it stops this
    // thread).
    void Stop();

private:
    void Run();
    // False when a stop was requested during the pause.
    bool Pause(int durationMs);

    CCUsbHid& m_channel;
    ReadingPipeline& m_pipeline;
    Event& m_pollEvent;
    const ReadingTimings m_timings;
    std::atomic<bool> m_stopRequested{false};
    Event m_stopEvent{Event::ResetMode::Manual};
    std::thread m_thread;
};
