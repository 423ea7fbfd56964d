#include "common/Sleeper.h"
#include "common/win32/Utf16.h"
#include "device/virtual/SimulatedSupply.h"
#include "device/win32/Win32HidPlatform.h"
#include "settings/CCSysControl.h"
#include "settings/win32/Win32SettingsPlatform.h"
#include "ui/CZephyrineApp.h"
#include "ui/DialogFonts.h"
#include "ui/ProgramOptions.h"
#include "ui/SingleInstanceGuard.h"
#include "ui/win32/Win32UiPlatform.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(Utf16ToUtf8(wide[i]));
    }
    LocalFree(wide);
    return args;
}

// A GUI program has no console to print to: help and errors come in a box.
void ShowText(const std::string& text, UINT icon) {
    MessageBoxW(nullptr, Utf8ToUtf16(text).c_str(), L"Zephyrine", MB_OK | icon);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const ProgramOptionsResult parsed = ParseProgramOptions(CommandLineArguments());
    if (!parsed.error.empty()) {
        ShowText(parsed.error + "\n\n" + ProgramUsage(), MB_ICONERROR);
        return 2;
    }
    if (parsed.options.help) {
        ShowText(ProgramUsage(), MB_ICONINFORMATION);
        return 0;
    }
    if (parsed.options.version) {
        ShowText(ProgramVersion(), MB_ICONINFORMATION);
        return 0;
    }

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Restarted after an update or a crash, as the session's restart manager offers.
    RegisterApplicationRestart(nullptr, 0);

    Win32UiPlatform ui;
    UseCaptionFaceForDialogs(ui);
    std::unique_ptr<SimulatedSupply> simulated;
    std::unique_ptr<Win32HidPlatform> system;
    HidPlatform& devices =
        parsed.options.simulate
            ? (simulated = std::make_unique<SimulatedSupply>(parsed.options.simulateLogPath))->Platform()
            : *(system = std::make_unique<Win32HidPlatform>());
    Win32SettingsPlatform settings(Win32SettingsPlatform::CurrentExecutablePath());
    SystemSleeper sleeper;
    CCSysControl sysControl;
    SystemInstanceLock instanceLock;
    CZephyrineApp app(ui, {devices,
                           sleeper,
                           settings,
                           AutostartFor(parsed.options, sysControl),
                           instanceLock,
                           {parsed.options.pollIntervalMs, {}}});
    app.InitInstance();
    return 0;
}
