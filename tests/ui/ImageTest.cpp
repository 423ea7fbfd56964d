#include "ui/framework/Image.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

zui::Image Filled(int width, int height, std::array<std::uint8_t, 4> bgra, bool alpha = true) {
    zui::Image image{width, height, alpha ? 32 : 24, alpha, {}};
    for (int i = 0; i < width * height; ++i) {
        image.pixels.insert(image.pixels.end(), bgra.begin(), bgra.end());
    }
    return image;
}

TEST(AlphaBlendPremultiplied, AddsTheSourceToTheDestinationScaledByWhatTheSourceLeavesUncovered) {
    struct Case {
        std::array<std::uint8_t, 4> source; // premultiplied
        std::array<std::uint8_t, 4> destination;
        std::array<std::uint8_t, 3> result;
    };
    const Case cases[] = {
        {{100, 50, 25, 128}, {200, 200, 200, 255}, {199, 149, 124}}, // 100 + 200 x 127 / 255 = 199.6 -> 199
        {{0, 0, 0, 0}, {10, 20, 30, 255}, {10, 20, 30}},
        {{255, 255, 255, 255}, {10, 20, 30, 255}, {255, 255, 255}},
        {{0, 0, 0, 255}, {10, 20, 30, 255}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        zui::Image canvas = Filled(1, 1, c.destination);
        zui::AlphaBlendPremultiplied({canvas.pixels.data(), canvas.Stride(), canvas.GetSize()},
                                     Filled(1, 1, c.source), {0, 0}, {0, 0, 1, 1});
        EXPECT_EQ(canvas.pixels[0], c.result[0]);
        EXPECT_EQ(canvas.pixels[1], c.result[1]);
        EXPECT_EQ(canvas.pixels[2], c.result[2]);
    }
}

TEST(AlphaBlendPremultiplied, ChangesOnlyPixelsUnderTheSourceInsideTheClipAndTheSurface) {
    zui::Image canvas = Filled(4, 3, {9, 9, 9, 255});
    const zui::Image white = Filled(3, 3, {255, 255, 255, 255});

    zui::AlphaBlendPremultiplied({canvas.pixels.data(), canvas.Stride(), canvas.GetSize()}, white, {2, 1},
                                 {0, 0, 4, 2});

    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool covered = x >= 2 && y == 1;
            EXPECT_EQ(canvas.PixelAt(x, y)[0], covered ? 255 : 9) << x << "," << y;
        }
    }
}

} // namespace
