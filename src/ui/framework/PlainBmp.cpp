#include "ui/framework/PlainBmp.h"

#include <cstddef>
#include <limits>

namespace zui {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

std::uint32_t Little32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Little16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

std::optional<Image> DecodePlainBmp(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderBytes + kInfoHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t pixelOffset = Little32(bytes, 10);
    const std::uint32_t headerBytes = Little32(bytes, kFileHeaderBytes);
    const auto width = static_cast<std::int32_t>(Little32(bytes, 18));
    const auto signedHeight = static_cast<std::int32_t>(Little32(bytes, 22));
    const std::uint16_t planes = Little16(bytes, 26);
    const std::uint16_t bitsPerPixel = Little16(bytes, 28);
    const std::uint32_t compression = Little32(bytes, 30);
    constexpr std::uint32_t kUncompressed = 0;
    // Larger headers only add fields that a 24-bit copy without compression does not use.
    if (headerBytes < kInfoHeaderBytes || planes != 1 || bitsPerPixel != 24 || compression != kUncompressed ||
        width <= 0 || signedHeight == 0 || signedHeight == std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    const bool bottomUp = signedHeight > 0;
    const std::int32_t height = bottomUp ? signedHeight : -signedHeight;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (width > std::numeric_limits<int>::max() / 4 / height ||
        pixelOffset < kFileHeaderBytes + headerBytes || pixelOffset > bytes.size() ||
        (bytes.size() - pixelOffset) / rowBytes < static_cast<std::size_t>(height)) {
        return std::nullopt;
    }
    Image image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = 24;
    image.hasAlpha = false;
    image.pixels.resize(static_cast<std::size_t>(image.Stride()) * height);
    for (int y = 0; y < height; ++y) {
        const std::size_t sourceRow = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        const std::uint8_t* source = bytes.data() + pixelOffset + sourceRow * rowBytes;
        std::uint8_t* target = image.PixelAt(0, y);
        for (int x = 0; x < width; ++x, source += 3, target += 4) {
            target[0] = source[0];
            target[1] = source[1];
            target[2] = source[2];
            target[3] = 255;
        }
    }
    return image;
}

} // namespace zui
