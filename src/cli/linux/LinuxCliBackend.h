#pragma once

#include "cli/CliBackend.h"
#include "device/DeviceMonitor.h"
#include "device/linux/LinuxHidPlatform.h"

#include <memory>
#include <string>

// The supply on this machine's hidraw nodes, followed through udev's or the kernel's device-change notices.
class LinuxCliBackend final : public CliBackend {
public:
    LinuxCliBackend();

    HidPlatform& Platform() override { return m_platform; }
    // The real supply keeps its own time.
    void IntervalElapsed(int) override {}
    bool WaitForDeviceChange(int timeoutMs, Sleeper& sleeper) override;
    std::string OpenProblem() const override;

private:
    LinuxHidPlatform m_platform;
    // Null when neither udev nor the kernel's uevents can be had; the session then only polls.
    std::unique_ptr<DeviceMonitor> m_monitor;
};
