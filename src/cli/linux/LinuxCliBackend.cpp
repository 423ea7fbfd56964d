#include "cli/linux/LinuxCliBackend.h"

#include "cli/WindowShare.h"
#include "settings/linux/LinuxSettingsPlatform.h"

#include "device/linux/LinuxDeviceMonitor.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>

LinuxCliBackend::LinuxCliBackend() : m_monitor(OpenDeviceMonitor()) {}

bool LinuxCliBackend::WaitForDeviceChange(int timeoutMs, Sleeper& sleeper) {
    if (!m_monitor) {
        return CliBackend::WaitForDeviceChange(timeoutMs, sleeper);
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int leftMs = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            leftMs = static_cast<int>(left > 0 ? left : 0);
        }
        pollfd watched{m_monitor->Descriptor(), POLLIN, 0};
        const int ready = poll(&watched, 1, leftMs);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready == 0) {
            return false;
        }
        if (ready > 0) {
            if (m_monitor->DrainChanges()) {
                return true;
            }
            // A broken socket would wake poll() forever: do without notices from now on, after one search
            // for what may have been missed.
            if ((watched.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                m_monitor.reset();
                return true;
            }
            // Notices about other devices only use up the time.
        }
    }
}

std::string LinuxCliBackend::OpenProblem() const {
    const auto& failure = m_platform.LastOpenFailure();
    if (!failure) {
        return {};
    }
    if (failure->IsPermissionDenied()) {
        return "permission denied on " + failure->path + ": install the udev rule (see README)";
    }
    return "cannot open " + failure->path + ": " + std::strerror(failure->errorNumber);
}

std::unique_ptr<CliBackend> MakeDeviceBackend() {
    return std::make_unique<LinuxCliBackend>();
}

// Installed, both programs are in one directory, so the window's rule finds the window's file from here.
std::unique_ptr<SettingsPlatform> MakeWindowSettings() {
    return std::make_unique<LinuxSettingsPlatform>(LinuxSettingsPlatform::ConfigAnchorPath(
        LinuxSettingsPlatform::CurrentExecutablePath(), ModeSettings::kFileName));
}
