#pragma once

#include <string>
#include <string_view>

// Notepad's "Unicode" file bytes: the byte-order mark FF FE, then the text in UTF-16LE.
inline std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}
