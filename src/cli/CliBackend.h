#pragma once

#include "cli/CliOptions.h"
#include "common/Sleeper.h"
#include "device/HidPlatform.h"
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"

#include <cstdint>
#include <memory>
#include <string>

// What a cli session talks to: a HID platform, and whatever has to know that the time between two polls
// has passed.
class CliBackend {
public:
    virtual ~CliBackend() = default;
    virtual HidPlatform& Platform() = 0;
    virtual void IntervalElapsed(int intervalMs) = 0;
    // Waits up to timeoutMs for a notice that devices came or went and says whether one came. A bus without
    // notices (the virtual one never changes) just lets the time pass.
    virtual bool WaitForDeviceChange(int timeoutMs, Sleeper& sleeper) {
        sleeper.SleepMs(timeoutMs);
        return false;
    }
    // Why the supply the search found cannot be opened, in words for the user; empty when nothing is known.
    virtual std::string OpenProblem() const { return {}; }
};

// The virtual supply alone on a virtual HID bus; its clock moves by exactly the poll interval per poll.
class SimulatedBackend final : public CliBackend {
public:
    explicit SimulatedBackend(std::uint32_t seed);

    HidPlatform& Platform() override { return m_platform; }
    void IntervalElapsed(int intervalMs) override;
    // For scripting a session in tests; use it only while no session runs.
    VirtualPowerSupply& Supply() { return m_supply; }

private:
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
};

// The one place that chooses the HID platform; null when this build has none for the options.
std::unique_ptr<CliBackend> MakeCliBackend(const CliOptions& options);
// The supply on this machine, through the platform's HID access (cli/linux/, cli/win32/).
std::unique_ptr<CliBackend> MakeDeviceBackend();
