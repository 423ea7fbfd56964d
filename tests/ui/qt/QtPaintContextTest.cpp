// Drawing into a canvas as the Qt backend's paint handlers do, with a picture far larger than the window.
#include "ui/qt/QtPaintContext.h"

#include "support/PatternImage.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr zui::Point kAt{80, 20};

QImage PatternCanvas() {
    QImage canvas(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            canvas.setPixel(x, y, qRgb(x * 31 % 251, y * 17 % 241, (x + y) % 256));
        }
    }
    return canvas;
}

// Blue, green and red of the canvas's pixel, as the image's bytes hold them.
std::vector<int> Colour(const QImage& canvas, int x, int y) {
    const QRgb pixel = canvas.pixel(x, y);
    return {qBlue(pixel), qGreen(pixel), qRed(pixel)};
}

// Only the clipped part of the logo changes the canvas: copied as it is, or blended with AlphaBlend's
// arithmetic (source + destination x (255 - alpha) / 255, truncating).
TEST(QtPaintContext, DrawsOnlyThePartOfALargeImageInsideTheClip) {
    const zui::Image logo = PatternImage(1000, 800);
    // The first reaches beside the logo; the second lies wholly inside it, away from its corner.
    const std::vector<QRegion> clips{QRegion(0, 0, 120, 60) + QRegion(200, 150, 100, 50) +
                                         QRegion(0, 100, 60, 100),
                                     QRegion(150, 50, 70, 60) + QRegion(240, 150, 60, 50)};
    const struct {
        std::string name;
        std::function<void(zui::PaintContext&)> draw;
        bool blends;
    } cases[] = {{"AlphaBlend", [&](zui::PaintContext& dc) { dc.AlphaBlendImage(logo, kAt); }, true},
                 {"Copy", [&](zui::PaintContext& dc) { dc.CopyImage(logo, kAt); }, false}};
    // The canvas holds the whole window, or only the part from origin on, as for a label's refresh.
    for (const QPoint origin : {QPoint(0, 0), QPoint(90, 40)}) {
        for (const QRegion& clip : clips) {
            for (const auto& c : cases) {
                SCOPED_TRACE(c.name + " clip of " + std::to_string(clip.rectCount()) + " origin " +
                             std::to_string(origin.x()) + "," + std::to_string(origin.y()));
                const QImage before = PatternCanvas();
                QImage canvas = before.copy(QRect(origin, before.rect().bottomRight()));
                QtPaintContext context(canvas, origin, clip);
                c.draw(context);

                int drawn = 0;
                for (int y = origin.y(); y < before.height(); ++y) {
                    for (int x = origin.x(); x < before.width(); ++x) {
                        std::vector<int> expected = Colour(before, x, y);
                        if (clip.contains(QPoint(x, y)) && x >= kAt.x && y >= kAt.y) {
                            const std::uint8_t* source = logo.PixelAt(x - kAt.x, y - kAt.y);
                            for (int channel = 0; channel < 3; ++channel) {
                                expected[channel] =
                                    c.blends ? std::min(255, source[channel] +
                                                                 expected[channel] * (255 - source[3]) / 255)
                                             : source[channel];
                            }
                            ++drawn;
                        }
                        ASSERT_EQ(Colour(canvas, x - origin.x(), y - origin.y()), expected) << x << "," << y;
                    }
                }
                EXPECT_GT(drawn, 0);
            }
        }
    }
}

} // namespace
