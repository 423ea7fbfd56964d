#include "cli/CliBackend.h"
#include "cli/WindowShare.h"
#include "device/win32/Win32HidPlatform.h"
#include "settings/win32/Win32SettingsPlatform.h"

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

// The package puts both programs in one directory, and the window keeps its file beside itself.
std::unique_ptr<SettingsPlatform> MakeWindowSettings() {
    return std::make_unique<Win32SettingsPlatform>(Win32SettingsPlatform::CurrentExecutablePath());
}
