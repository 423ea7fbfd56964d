#include "common/win32/Utf16.h"

#include <windows.h>

std::wstring Utf8ToUtf16(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int inputLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, result.data(), length);
    return result;
}

std::string Utf16ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int inputLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, result.data(), length, nullptr, nullptr);
    return result;
}
