#include "settings/CCSysControl.h"

#include "common/win32/Utf16.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

namespace {

constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RunValue {
    DWORD type = REG_NONE;
    DWORD sizeBytes = 0;
    std::wstring data; // up to the first null
};

// Works on the real Run key of the current user, under a value name of its own that is removed afterwards.
class CCSysControlTest : public testing::Test {
protected:
    CCSysControlTest() {
        // A new user profile may lack the key; the program itself never creates it.
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    ~CCSysControlTest() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueNameW); }

    static std::optional<RunValue> ReadRunValue() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RunValue value;
        wchar_t buffer[1024] = {};
        value.sizeBytes = sizeof buffer;
        const LSTATUS status = RegQueryValueExW(key, kValueNameW, nullptr, &value.type,
                                                reinterpret_cast<BYTE*>(buffer), &value.sizeBytes);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        value.data = buffer;
        return value;
    }

    static constexpr const char* kValueName = "Zephyrine-test";
    static constexpr const wchar_t* kValueNameW = L"Zephyrine-test";
    CCSysControl sysControl;
};

TEST_F(CCSysControlTest, WritesThePathAsAStringWithItsNull) {
    ASSERT_TRUE(sysControl.SetAutoRun("C:\\Zephyrine\\Zephyrine.exe", kValueName));
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, L"C:\\Zephyrine\\Zephyrine.exe");
    EXPECT_EQ(value->sizeBytes, (value->data.size() + 1) * sizeof(wchar_t));
}

TEST_F(CCSysControlTest, AStartFromElsewhereReplacesThePath) {
    ASSERT_TRUE(sysControl.SetAutoRun("C:\\Old\\Zephyrine.exe", kValueName));
    ASSERT_TRUE(sysControl.SetAutoRun("D:\\New\\Zephyrine.exe", kValueName));
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, L"D:\\New\\Zephyrine.exe");
    EXPECT_EQ(value->sizeBytes, (value->data.size() + 1) * sizeof(wchar_t));
}

TEST_F(CCSysControlTest, APathWithBlanksIsQuotedSoThatNoShorterPathIsStarted) {
    ASSERT_TRUE(sysControl.SetAutoRun("C:\\Program Files\\Zephyrine\\Zephyrine.exe", kValueName));
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, L"\"C:\\Program Files\\Zephyrine\\Zephyrine.exe\"");
    EXPECT_EQ(value->sizeBytes, (value->data.size() + 1) * sizeof(wchar_t));
}

TEST_F(CCSysControlTest, APathOutsideAsciiIsStoredAsUtf16) {
    ASSERT_TRUE(sysControl.SetAutoRun("C:\\Z\xC3\xA9phyrine\\\xE5\xBA\x94\xE7\x94\xA8.exe", kValueName));
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, L"C:\\Z\u00E9phyrine\\\u5E94\u7528.exe");
}

TEST_F(CCSysControlTest, TheModulePathIsThisExecutable) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::string path = sysControl.GetModulePath();
    EXPECT_EQ(path, Utf16ToUtf8(own));
    EXPECT_TRUE(path.ends_with("\\win32_tests.exe")) << path;
}

} // namespace
