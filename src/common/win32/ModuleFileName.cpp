#include "common/win32/ModuleFileName.h"

#include "common/win32/Utf16.h"

#include <windows.h>

std::string CurrentModuleFileName() {
    constexpr DWORD kChars = 260;
    wchar_t buffer[kChars] = {};
    GetModuleFileNameW(nullptr, buffer, kChars);
    // A cut path fills the buffer; the last character is then the null on current Windows, and made so here.
    buffer[kChars - 1] = L'\0';
    return Utf16ToUtf8(buffer);
}
