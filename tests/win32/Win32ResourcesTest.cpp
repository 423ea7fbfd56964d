#include "common/win32/ModuleFileName.h"
#include "common/win32/Utf16.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// The suite links src/ui/win32/Zephyrine.rc in, so its own module carries the program's resources.
namespace {

constexpr int kIconId = 128;
// RT_ICON and RT_GROUP_ICON as wide names: the project builds without UNICODE, where those macros are narrow.
const wchar_t* const kIconType = MAKEINTRESOURCEW(3);
const wchar_t* const kIconGroupType = MAKEINTRESOURCEW(3 + DIFFERENCE);

std::span<const std::uint8_t> ResourceBytes(HMODULE module, HRSRC resource) {
    const void* bytes = resource == nullptr ? nullptr : LockResource(LoadResource(module, resource));
    return {static_cast<const std::uint8_t*>(bytes), bytes == nullptr ? 0 : SizeofResource(module, resource)};
}

// The width a stored icon entry declares: its DIB header's or, for a PNG entry, its IHDR chunk's.
int StoredWidth(std::span<const std::uint8_t> entry) {
    if (entry.size() >= 24 && entry[0] == 0x89 && entry[1] == 'P') {
        return (entry[18] << 8) | entry[19];
    }
    return entry.size() >= 8 ? entry[4] | (entry[5] << 8) : 0;
}

class Win32ResourcesIcon : public testing::TestWithParam<int> {};

TEST_P(Win32ResourcesIcon, HasAnEntryOfThatSizeWhichLoads) {
    const int size = GetParam();
    const HMODULE module = GetModuleHandleW(nullptr);
    const auto group =
        ResourceBytes(module, FindResourceW(module, MAKEINTRESOURCEW(kIconId), kIconGroupType));
    ASSERT_FALSE(group.empty());
    const int entryId = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, size, size, 0);
    EXPECT_EQ(StoredWidth(ResourceBytes(module, FindResourceW(module, MAKEINTRESOURCEW(entryId), kIconType))),
              size);

    const auto icon =
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    EXPECT_EQ(GetObjectW(info.hbmColor, sizeof colour, &colour), static_cast<int>(sizeof colour));
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Win32ResourcesIcon, testing::Values(16, 32, 48, 256));

TEST(Win32ResourcesVersion, NamesTheProgramAndTheProjectsVersion) {
    const std::wstring path = Utf8ToUtf16(CurrentModuleFileName());
    std::vector<std::uint8_t> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const DWORD mostSignificant = (ZEPHYRINE_VERSION_MAJOR << 16) | ZEPHYRINE_VERSION_MINOR;
    const DWORD leastSignificant = ZEPHYRINE_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, mostSignificant);
    EXPECT_EQ(fixed->dwFileVersionLS, leastSignificant);
    EXPECT_EQ(fixed->dwProductVersionMS, mostSignificant);
    EXPECT_EQ(fixed->dwProductVersionLS, leastSignificant);

    const std::pair<const wchar_t*, std::string> strings[] = {
        {L"CompanyName", "Zephyrine"},
        {L"FileDescription", "Zephyrine power supply monitor"},
        {L"FileVersion", ZEPHYRINE_VERSION_TEXT},
        {L"InternalName", "Zephyrine"},
        {L"OriginalFilename", "Zephyrine.exe"},
        {L"ProductName", "Zephyrine"},
        {L"ProductVersion", ZEPHYRINE_VERSION_TEXT},
    };
    for (const auto& [name, expected] : strings) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), &value, &length)) << Utf16ToUtf8(name);
        EXPECT_EQ(Utf16ToUtf8(static_cast<const wchar_t*>(value)), expected) << Utf16ToUtf8(name);
    }
}

} // namespace
