#pragma once

#include <functional>
#include <memory>

// Carries calls from worker threads onto the window's thread and waits until each has run there. Close()
// releases every waiting caller at once and turns later calls into no-ops, so a window that is shutting down
// can join its workers even while one of them waits on it.
class SyncCallQueue {
public:
    // Queues a function to run on the window's thread; supplied by the window system backend.
    using Poster = std::function<void(std::function<void()>)>;

    explicit SyncCallQueue(Poster poster);
    ~SyncCallQueue();
    SyncCallQueue(const SyncCallQueue&) = delete;
    SyncCallQueue& operator=(const SyncCallQueue&) = delete;

    // Runs fn on the window's thread and returns true once it has run; false when the queue was closed first.
    bool Call(std::function<void()> fn);
    void Close();
    bool IsClosed() const;

private:
    struct State;
    Poster m_poster;
    std::shared_ptr<State> m_state;
};
