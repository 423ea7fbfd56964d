#include "cli/CliBackend.h"
#include "device/win32/Win32HidPlatform.h"

namespace {

// The supply through SetupAPI and the HID library. A console program receives no device-change broadcast,
// so the session only polls.
class Win32CliBackend final : public CliBackend {
public:
    HidPlatform& Platform() override { return m_platform; }
    // The real supply keeps its own time.
    void IntervalElapsed(int) override {}

private:
    Win32HidPlatform m_platform;
};

} // namespace

std::unique_ptr<CliBackend> MakeDeviceBackend() {
    return std::make_unique<Win32CliBackend>();
}
