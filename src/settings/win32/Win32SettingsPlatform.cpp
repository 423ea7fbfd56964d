#include "settings/win32/Win32SettingsPlatform.h"

#include "common/win32/ModuleFileName.h"
#include "common/win32/Utf16.h"

#include <windows.h>

std::string Win32SettingsPlatform::CurrentExecutablePath() {
    return CurrentModuleFileName();
}

bool Win32SettingsPlatform::PathExists(const std::string& path) {
    return GetFileAttributesW(Utf8ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32SettingsPlatform::CreateNewFile(const std::string& path) {
    const HANDLE file = CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string Win32SettingsPlatform::ReadProfileValue(const std::string& section, const std::string& key,
                                                    const std::string& defaultValue,
                                                    const std::string& path) {
    constexpr DWORD kChars = 128;
    wchar_t buffer[kChars] = {};
    const DWORD length = GetPrivateProfileStringW(Utf8ToUtf16(section).c_str(), Utf8ToUtf16(key).c_str(),
                                                  Utf8ToUtf16(defaultValue).c_str(), buffer, kChars,
                                                  Utf8ToUtf16(path).c_str());
    return Utf16ToUtf8(std::wstring_view(buffer, length));
}

bool Win32SettingsPlatform::WriteProfileValue(const std::string& section, const std::string& key,
                                              const std::string& value, const std::string& path) {
    return WritePrivateProfileStringW(Utf8ToUtf16(section).c_str(), Utf8ToUtf16(key).c_str(),
                                      Utf8ToUtf16(value).c_str(), Utf8ToUtf16(path).c_str()) != 0;
}
