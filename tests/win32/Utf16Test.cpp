#include "common/win32/Utf16.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    std::string utf8;
    std::wstring utf16;
};

class Utf16Table : public testing::TestWithParam<TextCase> {};

TEST_P(Utf16Table, ConvertsBothWays) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Table,
    testing::Values(TextCase{"Empty", "", L""},
                    TextCase{"Ascii", "C:\\Zephyrine\\Zephyrine.exe", L"C:\\Zephyrine\\Zephyrine.exe"},
                    TextCase{"Latin", "C:\\Z\xC3\xA9phyrine", L"C:\\Z\u00E9phyrine"},
                    TextCase{"Chinese", "\xE5\xBA\x94\xE7\x94\xA8", L"\u5E94\u7528"},
                    TextCase{"SurrogatePair", "\xF0\x9F\x94\x8C", L"\xD83D\xDD0C"},
                    TextCase{"EmbeddedNull", std::string("a\0b", 3), std::wstring(L"a\0b", 3)}),
    CaseName());

} // namespace
