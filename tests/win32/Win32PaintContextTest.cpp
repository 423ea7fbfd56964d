#include "ui/win32/Win32PaintContext.h"

#include "support/PatternImage.h"
#include "ui/win32/Win32Bitmaps.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr zui::Size kCanvas{300, 200};
constexpr zui::Point kAt{80, 20};

// A memory context on a DIB section of kCanvas's size, filled with a pattern of its own.
class Canvas {
public:
    Canvas() : m_dc(CreateCompatibleDC(nullptr)) {
        const BITMAPINFO info = win32_bitmaps::HeaderOf(kCanvas);
        m_bitmap =
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < kCanvas.width * kCanvas.height * 4; ++i) {
            m_bits[i] = static_cast<std::uint8_t>(i * 31 % 251);
        }
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    // Blue, green and red: what a 32-bit DIB's fourth byte holds after a copy is GDI's business.
    std::uint32_t Colour(int x, int y) const {
        const std::uint8_t* pixel = m_bits + (y * kCanvas.width + x) * 4;
        return pixel[0] | pixel[1] << 8 | pixel[2] << 16;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint8_t* m_bits = nullptr;
};

// A logo far larger than the window, under clips of a few rectangles: only the clipped part of the logo
// changes the canvas, each pixel as drawing the whole logo would have made it.
TEST(Win32PaintContext, DrawsOnlyThePartOfALargeImageInsideTheClip) {
    const zui::Image logo = PatternImage(1000, 800);
    // The first reaches beside the logo; the second lies wholly inside it, away from its corner.
    const std::vector<std::vector<RECT>> clips{{{0, 0, 120, 60}, {200, 150, 300, 200}, {0, 100, 60, 200}},
                                               {{150, 50, 220, 110}, {240, 150, 300, 200}}};
    const struct {
        const char* name;
        std::function<void(zui::PaintContext&)> draw;
        // The whole logo through GDI, unclipped.
        std::function<void(HDC)> reference;
    } cases[] = {
        {"AlphaBlend", [&](zui::PaintContext& dc) { dc.AlphaBlendImage(logo, kAt); },
         [&](HDC dc) {
             HBITMAP bitmap = win32_bitmaps::MakeBitmap(logo);
             HDC source = CreateCompatibleDC(dc);
             HGDIOBJ previous = SelectObject(source, bitmap);
             AlphaBlend(dc, kAt.x, kAt.y, logo.width, logo.height, source, 0, 0, logo.width, logo.height,
                        BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
             SelectObject(source, previous);
             DeleteDC(source);
             DeleteObject(bitmap);
         }},
        {"Copy", [&](zui::PaintContext& dc) { dc.CopyImage(logo, kAt); },
         [&](HDC dc) {
             const BITMAPINFO info = win32_bitmaps::HeaderOf(logo.GetSize());
             SetDIBitsToDevice(dc, kAt.x, kAt.y, logo.width, logo.height, 0, 0, 0, logo.height,
                               logo.pixels.data(), &info, DIB_RGB_COLORS);
         }},
    };
    for (const auto& clipRects : clips) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + std::string(" clip of ") + std::to_string(clipRects.size()));
            const Canvas before;
            const Canvas reference;
            c.reference(reference.Dc());
            const Canvas painted;
            HRGN clip = CreateRectRgn(0, 0, 0, 0);
            for (const RECT& rect : clipRects) {
                HRGN part = CreateRectRgnIndirect(&rect);
                CombineRgn(clip, clip, part, RGN_OR);
                DeleteObject(part);
            }
            SelectClipRgn(painted.Dc(), clip);

            Win32PaintContext context(painted.Dc(), [](const zui::Image&) { return HICON{}; });
            c.draw(context);

            int drawn = 0;
            for (int y = 0; y < kCanvas.height; ++y) {
                for (int x = 0; x < kCanvas.width; ++x) {
                    const bool clipped = PtInRegion(clip, x, y) != FALSE;
                    const Canvas& expected = clipped ? reference : before;
                    ASSERT_EQ(painted.Colour(x, y), expected.Colour(x, y)) << x << "," << y;
                    drawn += clipped && x >= kAt.x && y >= kAt.y ? 1 : 0;
                }
            }
            EXPECT_GT(drawn, 0);
            DeleteObject(clip);
        }
    }
}

} // namespace
