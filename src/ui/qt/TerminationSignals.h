#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

// SIGTERM, SIGINT and SIGHUP end the program the way the tray menu's exit does, so that the mode is saved
// and the threads are joined, instead of the process dying where it stands. The handler only writes to a
// pipe; onSignal runs on the window's thread when the event loop reads it.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    int m_pipe[2] = {-1, -1};
    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
