#include "ui/framework/PlainBmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLittle(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A 3 x 2 picture whose pixel (x, y) has blue 10 x + 1, green 20 y + 2, red 30; rows padded to 12 bytes.
struct BmpFields {
    std::int32_t height = 2; // negative: rows from the top
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerBytes = 40;
    std::uint16_t planes = 1;
};

Bytes Bmp(const BmpFields& fields) {
    constexpr int kWidth = 3;
    constexpr int kRowBytes = 12;
    const int rows = fields.height < 0 ? -fields.height : fields.height;
    const std::size_t offset = 14 + fields.headerBytes;
    Bytes bytes(offset + static_cast<std::size_t>(kRowBytes) * rows, 0xEE);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittle(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    PutLittle(bytes, 10, static_cast<std::uint32_t>(offset), 4);
    PutLittle(bytes, 14, fields.headerBytes, 4);
    PutLittle(bytes, 18, kWidth, 4);
    PutLittle(bytes, 22, static_cast<std::uint32_t>(fields.height), 4);
    PutLittle(bytes, 26, fields.planes, 2);
    PutLittle(bytes, 28, fields.bitsPerPixel, 2);
    PutLittle(bytes, 30, fields.compression, 4);
    for (int row = 0; row < rows; ++row) {
        const int y = fields.height > 0 ? rows - 1 - row : row;
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* pixel = &bytes[offset + static_cast<std::size_t>(row) * kRowBytes + x * 3];
            pixel[0] = static_cast<std::uint8_t>(10 * x + 1);
            pixel[1] = static_cast<std::uint8_t>(20 * y + 2);
            pixel[2] = 30;
        }
    }
    return bytes;
}

zui::Image Expected() {
    zui::Image image{3, 2, 24, false, {}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(10 * x + 1),
                                                     static_cast<std::uint8_t>(20 * y + 2), 30, 255});
        }
    }
    return image;
}

TEST(DecodePlainBmp, ReadsTheRowsInEitherOrderWithoutTheirPadding) {
    for (const BmpFields& fields : {BmpFields{}, BmpFields{.height = -2}, BmpFields{.headerBytes = 124}}) {
        const std::optional<zui::Image> image = zui::DecodePlainBmp(Bmp(fields));
        ASSERT_TRUE(image.has_value()) << "height " << fields.height << ", header " << fields.headerBytes;
        EXPECT_EQ(*image, Expected()) << "height " << fields.height << ", header " << fields.headerBytes;
    }
}

TEST(DecodePlainBmp, LeavesEveryOtherKindOfBmpToThePlatform) {
    const struct {
        const char* what;
        BmpFields fields;
    } others[] = {
        {"32 bits", {.bitsPerPixel = 32}},
        {"8 bits with a palette", {.bitsPerPixel = 8}},
        {"run-length compression", {.compression = 1}},
        {"bit fields", {.compression = 3}},
        {"an OS/2 header", {.headerBytes = 12}},
        {"two planes", {.planes = 2}},
        {"no rows", {.height = 0}},
    };
    for (const auto& other : others) {
        EXPECT_EQ(zui::DecodePlainBmp(Bmp(other.fields)), std::nullopt) << other.what;
    }
}

TEST(DecodePlainBmp, RefusesBytesThatDoNotHoldThePicture) {
    const Bytes whole = Bmp({});
    Bytes truncated(whole.begin(), whole.end() - 1);
    Bytes offsetPastTheEnd = whole;
    PutLittle(offsetPastTheEnd, 10, static_cast<std::uint32_t>(whole.size() + 1), 4);
    Bytes offsetIntoTheHeader = whole;
    PutLittle(offsetIntoTheHeader, 10, 20, 4);
    Bytes tooWide = whole;
    PutLittle(tooWide, 18, 0x7FFFFFFF, 4);
    Bytes notBmp = whole;
    notBmp[1] = 'A';
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"the last byte missing", truncated},
        {"pixels after the end", offsetPastTheEnd},
        {"pixels inside the header", offsetIntoTheHeader},
        {"a width whose pixels cannot be counted", tooWide},
        {"another signature", notBmp},
        {"a header alone", Bytes(whole.begin(), whole.begin() + 54)},
        {"nothing", Bytes{}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zui::DecodePlainBmp(c.bytes), std::nullopt) << c.what;
    }
}

} // namespace
