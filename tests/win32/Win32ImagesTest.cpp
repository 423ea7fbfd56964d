#include "ui/win32/Win32Images.h"

#include "Resources.h"
#include "common/win32/Utf16.h"
#include "support/CaseName.h"
#include "support/CurrentDirectory.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A BMP with a 40-byte header, stored bottom-up; rows are given from the top, each padded to four bytes.
Bytes Bmp(int width, int bitsPerPixel, const Bytes& palette, const std::vector<Bytes>& rowsFromTop) {
    const auto height = static_cast<std::uint32_t>(rowsFromTop.size());
    const auto pixelOffset = static_cast<std::uint32_t>(14 + 40 + palette.size());
    const auto fileSize = static_cast<std::uint32_t>(pixelOffset + rowsFromTop[0].size() * height);
    Bytes bytes{'B', 'M'};
    for (const auto& [value, size] : {std::pair{fileSize, 4},
                                      {0u, 4},
                                      {pixelOffset, 4},
                                      {40u, 4},
                                      {static_cast<std::uint32_t>(width), 4},
                                      {height, 4},
                                      {1u, 2},
                                      {static_cast<std::uint32_t>(bitsPerPixel), 2},
                                      {0u, 4},
                                      {0u, 4},
                                      {0u, 4},
                                      {0u, 4},
                                      {static_cast<std::uint32_t>(palette.size() / 4), 4},
                                      {0u, 4}}) {
        Append(bytes, value, size);
    }
    bytes.insert(bytes.end(), palette.begin(), palette.end());
    for (auto row = rowsFromTop.rbegin(); row != rowsFromTop.rend(); ++row) {
        bytes.insert(bytes.end(), row->begin(), row->end());
    }
    return bytes;
}

zui::Image Expected(int width, int height, bool alpha, Bytes bgra) {
    return {width, height, alpha ? 32 : 24, alpha, std::move(bgra)};
}

// Top row red, green; bottom row blue, white.
const Bytes kBmp24 = Bmp(2, 24, {}, {{0, 0, 255, 0, 255, 0, 0, 0}, {255, 0, 0, 255, 255, 255, 0, 0}});
const zui::Image kBmp24Pixels =
    Expected(2, 2, false, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255});

// 2 x 1 RGBA: (200, 100, 50) at alpha 128, then opaque green; written once with Python's zlib.
const Bytes kPng{0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
                 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xf4,
                 0x22, 0x7f, 0x8a, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x38,
                 0x91, 0x62, 0xd4, 0xc0, 0xf0, 0x9f, 0xe1, 0x3f, 0x00, 0x10, 0xad, 0x03, 0xdd, 0xf0, 0x3b,
                 0x91, 0xc7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
// Straight alpha: premultiplied, the first pixel would read 25, 50, 100.
const zui::Image kPngPixels = Expected(2, 1, true, {50, 100, 200, 128, 0, 255, 0, 255});

// 2 x 1 with a palette of red and blue, red at alpha 128 through the tRNS chunk; written once with Python's
// zlib.
const Bytes kPalettePng{
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x03, 0x00, 0x00, 0x00, 0xc3, 0xfc, 0x8f, 0xb8, 0x00,
    0x00, 0x00, 0x06, 0x50, 0x4c, 0x54, 0x45, 0xff, 0x00, 0x00, 0x00, 0x00, 0xff, 0x6c, 0xa1, 0xfd, 0x8e,
    0x00, 0x00, 0x00, 0x01, 0x74, 0x52, 0x4e, 0x53, 0x80, 0xad, 0x5e, 0x5b, 0x46, 0x00, 0x00, 0x00, 0x0b,
    0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0x04, 0x00, 0x00, 0x04, 0x00, 0x02, 0x2c, 0xde,
    0x48, 0xad, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

struct DecodeCase {
    const char* name;
    Bytes bytes;
    zui::Image expected;
};

class Win32ImagesDecode : public testing::TestWithParam<DecodeCase> {};

void ExpectImage(const zui::Image& actual, const zui::Image& expected) {
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_EQ(actual.bitsPerPixel, expected.bitsPerPixel);
    EXPECT_EQ(actual.hasAlpha, expected.hasAlpha);
    EXPECT_EQ(actual.pixels, expected.pixels);
}

TEST_P(Win32ImagesDecode, GivesTheSourcesPixelsAndWhetherItHasAlpha) {
    ExpectImage(win32_images::Decode(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Win32ImagesDecode,
    testing::Values(
        DecodeCase{"Bmp24Bit", kBmp24, kBmp24Pixels},
        // Without an alpha mask the fourth bytes of a 32-bit BMP are padding.
        DecodeCase{"Bmp32BitWithoutAlphaMask", Bmp(2, 32, {}, {{10, 20, 30, 0, 40, 50, 60, 7}}),
                   Expected(2, 1, false, {10, 20, 30, 255, 40, 50, 60, 255})},
        DecodeCase{"Bmp8BitPalette", Bmp(2, 8, {0, 0, 255, 0, 0, 255, 0, 0}, {{1, 0, 0, 0}}),
                   Expected(2, 1, false, {0, 255, 0, 255, 0, 0, 255, 255})},
        DecodeCase{"PngWithAlpha", kPng, kPngPixels},
        DecodeCase{"PalettePngWithTransparency", kPalettePng,
                   Expected(2, 1, true, {0, 0, 255, 128, 255, 0, 0, 255})},
        DecodeCase{"TruncatedPng", Bytes(kPng.begin(), kPng.begin() + 50), {}},
        DecodeCase{"Garbage", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}, {}},
        DecodeCase{"Empty", {}, {}}),
    CaseName());

TEST(Win32ImagesDecode, IcoGivesItsFirstEntryWithStraightAlpha) {
    const zui::Image ico = win32_images::Decode(zres::EmbeddedIconIco());
    EXPECT_EQ(ico.GetSize(), (zui::Size{32, 32}));
    ExpectImage(ico, win32_images::Decode(zres::EmbeddedResource(zres::ResourceKind::Icon, 128)));
}

struct FileCase {
    const char* name;
    std::string utf8Path;
    std::optional<Bytes> contents; // none: the file is not there
    zui::Image expected;
};

class Win32ImagesLoadFile : public testing::TestWithParam<FileCase> {};

TEST_P(Win32ImagesLoadFile, ReadsRelativeToTheCurrentDirectory) {
    const TempDirectory directory;
    const CurrentDirectory inside(directory.Path());
    if (GetParam().contents) {
        WriteFileBytes(Utf8ToUtf16(GetParam().utf8Path),
                       std::string(GetParam().contents->begin(), GetParam().contents->end()));
    }
    ExpectImage(win32_images::LoadFile(GetParam().utf8Path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, Win32ImagesLoadFile,
                         testing::Values(FileCase{"Bmp", "picture.bmp", kBmp24, kBmp24Pixels},
                                         FileCase{"NonAsciiName", "Z\xC3\xA9phyrine \xE5\x9B\xBE.png", kPng,
                                                  kPngPixels},
                                         FileCase{"Missing", "logo.png", std::nullopt, {}},
                                         FileCase{"NotAPicture", "logo.png", Bytes{'P', 'N', 'G'}, {}}),
                         CaseName());

} // namespace
