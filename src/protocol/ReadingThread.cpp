#include "protocol/ReadingThread.h"

#include <chrono>
#include <system_error>

bool ReadingThread::Start() {
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ReadingThread::Stop() {
    m_stopRequested = true;
    m_stopEvent.Set();
    m_pollEvent.Set();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool ReadingThread::Pause(int durationMs) {
    if (durationMs > 0) {
        m_stopEvent.WaitFor(std::chrono::milliseconds(durationMs));
    }
    return !m_stopRequested;
}

void ReadingThread::Run() {
    if (!Pause(m_timings.startDelayMs)) {
        return;
    }
    for (;;) {
        m_pollEvent.Wait();
        if (m_stopRequested || !Pause(m_timings.copyDelayMs)) {
            return;
        }
        if (!m_pipeline.RunPass(m_channel.ReadBufferSnapshot(), m_stopRequested) ||
            !Pause(m_timings.restMs)) {
            return;
        }
    }
}
