#pragma once

#include <string>
#include <string_view>

// The seams carry UTF-8; the wide Win32 functions take and give UTF-16. Invalid input is replaced, not
// refused.
std::wstring Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::wstring_view text);
