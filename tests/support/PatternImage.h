#pragma once

#include "ui/framework/Image.h"

#include <algorithm>
#include <cstdint>

// A picture in which every pixel differs from its neighbours, with every alpha from 0 to 255 and colours
// no greater than their alpha, so that it is valid premultiplied: a misplaced or repeated row shows.
inline zui::Image PatternImage(int width, int height) {
    zui::Image image{width, height, 32, true, {}};
    image.pixels.resize(static_cast<std::size_t>(image.Stride()) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.PixelAt(x, y);
            const int alpha = (x * 7 + y * 13) % 256;
            pixel[0] = static_cast<std::uint8_t>(std::min(alpha, x % 256));
            pixel[1] = static_cast<std::uint8_t>(std::min(alpha, y % 256));
            pixel[2] = static_cast<std::uint8_t>(std::min(alpha, (x + y) % 256));
            pixel[3] = static_cast<std::uint8_t>(alpha);
        }
    }
    return image;
}
