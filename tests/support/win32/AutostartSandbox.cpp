#include "support/AutostartSandbox.h"

#include "common/win32/Utf16.h"

#include <windows.h>

#include <vector>

namespace {

constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kProgramValue = L"Zephyrine";

std::optional<std::wstring> ReadRunValue(const wchar_t* name) {
    DWORD sizeBytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &sizeBytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> data(sizeBytes / sizeof(wchar_t) + 1);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_REG_SZ, nullptr, data.data(), &sizeBytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(data.data());
}

} // namespace

// The program's own value, as it was before: the window registers under this name whatever runs it.
struct AutostartSandbox::State {
    std::optional<std::wstring> previous;
};

AutostartSandbox::AutostartSandbox() : m_state(std::make_unique<State>()) {
    // A new profile may lack the key, and the program never creates it.
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    m_state->previous = ReadRunValue(kProgramValue);
}

AutostartSandbox::~AutostartSandbox() {
    if (m_state->previous) {
        const std::wstring& data = *m_state->previous;
        RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kProgramValue, REG_SZ, data.c_str(),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kProgramValue);
    }
}

std::optional<std::string> AutostartSandbox::Registered(const std::string& name) const {
    const auto value = ReadRunValue(Utf8ToUtf16(name).c_str());
    return value ? std::optional<std::string>(Utf16ToUtf8(*value)) : std::nullopt;
}
