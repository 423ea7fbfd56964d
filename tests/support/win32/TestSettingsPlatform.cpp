#include "support/TestSettingsPlatform.h"

#include "settings/win32/Win32SettingsPlatform.h"

#include <windows.h>

std::unique_ptr<SettingsPlatform> MakeTestSettingsPlatform(const std::string& moduleFileName) {
    return std::make_unique<Win32SettingsPlatform>(moduleFileName);
}

// Wine's ntdll exports wine_get_version; Windows' does not.
bool ProfileFunctionsAreWines() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
