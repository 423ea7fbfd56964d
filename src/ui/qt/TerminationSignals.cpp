#include "ui/qt/TerminationSignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler, which may use nothing but async-signal-safe calls.
volatile std::sig_atomic_t g_writeEnd = -1;

void OnSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    (void)!::write(g_writeEnd, &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    g_writeEnd = m_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        }
        m_onSignal();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        if (::sigaction(signalNumber, &action, nullptr) == 0) {
            m_previous.push_back({signalNumber, previous});
        }
    }
}

TerminationSignals::~TerminationSignals() {
    for (const Previous& previous : m_previous) {
        ::sigaction(previous.signalNumber, &previous.action, nullptr);
    }
    g_writeEnd = -1;
    m_notifier.reset();
    for (const int end : m_pipe) {
        if (end >= 0) {
            ::close(end);
        }
    }
}
