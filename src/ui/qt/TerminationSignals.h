#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

// SIGTERM, SIGINT and SIGHUP end the program the way the tray menu's exit does, so that the mode is saved
// and the threads are joined, instead of the process dying where it stands. The handler only writes to a
// pipe; onSignal runs on the window's thread when the event loop reads it. A signal the program was started
// with ignored (nohup, a background job of a shell) stays ignored, as the one who started it asked.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    // Puts back what each signal did before.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    int m_pipe[2] = {-1, -1};
    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // What each of kSignals did before, for those this object handles.
    struct Previous {
        int signalNumber;
        struct sigaction action;
    };
    std::vector<Previous> m_previous;
};
