#pragma once

#include "ui/framework/Types.h"

#include <cstdint>
#include <vector>

namespace zui {

// A decoded picture as the platform's image object holds it: four bytes per pixel in the order blue, green,
// red, alpha, rows from the top. bitsPerPixel says what the source carried (24 or 32); hasAlpha says whether
// the alpha bytes mean anything (otherwise they are 255). An empty image has no pixels.
struct Image {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool hasAlpha = false;
    std::vector<std::uint8_t> pixels;

    bool IsNull() const { return width <= 0 || height <= 0; }
    void Release() { *this = Image{}; }
    Size GetSize() const { return {width, height}; }
    int Stride() const { return width * 4; }
    std::uint8_t* PixelAt(int x, int y) {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
    const std::uint8_t* PixelAt(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
    friend bool operator==(const Image&, const Image&) = default;
};

// A block of BGRA pixels owned by someone else (a backend's canvas).
struct PixelSurface {
    std::uint8_t* bits = nullptr;
    int stride = 0;
    Size size;
};

// Source-over with a premultiplied source: destination = source + destination × (255 − alpha) / 255 per
// colour channel, truncating. Only pixels inside clip (surface coordinates) change.
void AlphaBlendPremultiplied(PixelSurface destination, const Image& source, Point at, const Rect& clip);

} // namespace zui
