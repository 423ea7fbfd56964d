#include "common/SyncCallQueue.h"

#include <condition_variable>
#include <mutex>

struct SyncCallQueue::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
};

SyncCallQueue::SyncCallQueue(Poster poster)
    : m_poster(std::move(poster)), m_state(std::make_shared<State>()) {}

SyncCallQueue::~SyncCallQueue() {
    Close();
}

bool SyncCallQueue::Call(std::function<void()> fn) {
    struct Pending {
        bool done = false;
    };
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->closed) {
            return false;
        }
    }
    // The posted task holds the shared state, so it stays safe to run (as a no-op) after the queue is gone.
    m_poster([state = m_state, pending, fn = std::move(fn)] {
        {
            std::lock_guard lock(state->mutex);
            if (state->closed) {
                return;
            }
        }
        fn();
        {
            std::lock_guard lock(state->mutex);
            pending->done = true;
        }
        state->changed.notify_all();
    });
    std::unique_lock lock(m_state->mutex);
    m_state->changed.wait(lock, [&] { return pending->done || m_state->closed; });
    return pending->done;
}

void SyncCallQueue::Close() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->closed = true;
    }
    m_state->changed.notify_all();
}

bool SyncCallQueue::IsClosed() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->closed;
}
