#include "settings/CCSysControl.h"

#include "common/win32/ModuleFileName.h"
#include "common/win32/Utf16.h"

#include <windows.h>

namespace {

constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Unquoted, "C:\Program Files\Zephyrine\Zephyrine.exe" would let the log-on start try C:\Program.exe first.
std::wstring CommandLineOf(const std::string& path) {
    const std::wstring wide = Utf8ToUtf16(path);
    return wide.find(L' ') == std::wstring::npos ? wide : L"\"" + wide + L"\"";
}

} // namespace

std::string CCSysControl::GetModulePath() {
    return CurrentModuleFileName();
}

bool CCSysControl::SetAutoRun(const std::string& data, const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring command = CommandLineOf(data);
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, Utf8ToUtf16(valueName).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(command.c_str()), bytes);
    RegCloseKey(key);
    return true;
}
