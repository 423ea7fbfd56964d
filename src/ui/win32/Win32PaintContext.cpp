#include "ui/win32/Win32PaintContext.h"

#include "ui/win32/Win32Bitmaps.h"

#include <algorithm>

namespace {

// The part of an image drawn at `at` that the context's clip lets through, in the image's coordinates: a
// logo far larger than the window costs no more than the window's area.
zui::Rect VisiblePart(HDC dc, const zui::Image& image, zui::Point at) {
    RECT clip;
    if (image.IsNull() || GetClipBox(dc, &clip) == ERROR) {
        return {};
    }
    return {std::max<int>(clip.left - at.x, 0), std::max<int>(clip.top - at.y, 0),
            std::min<int>(clip.right - at.x, image.width), std::min<int>(clip.bottom - at.y, image.height)};
}

} // namespace

void Win32PaintContext::StretchImage(const zui::Image& image, const zui::Rect& dest) {
    if (image.IsNull()) {
        return;
    }
    // The context's own stretch mode, as StretchBlt from a memory context would use.
    const BITMAPINFO info = win32_bitmaps::HeaderOf(image.GetSize());
    StretchDIBits(m_dc, dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, image.width, image.height,
                  image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32PaintContext::CopyImage(const zui::Image& image, zui::Point at) {
    const zui::Rect part = VisiblePart(m_dc, image, at);
    if (part.IsEmpty()) {
        return;
    }
    // Only the visible rows are handed over, as a DIB of their own that starts at the first of them: with all
    // of its rows taken, a top-down DIB's source rectangle means the same whichever corner GDI counts from.
    const BITMAPINFO info = win32_bitmaps::HeaderOf({image.width, part.Height()});
    StretchDIBits(m_dc, at.x + part.left, at.y + part.top, part.Width(), part.Height(), part.left, 0,
                  part.Width(), part.Height(), image.PixelAt(0, part.top), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32PaintContext::AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) {
    const zui::Rect part = VisiblePart(m_dc, premultiplied, at);
    if (part.IsEmpty()) {
        return;
    }
    HBITMAP bitmap = win32_bitmaps::MakeBitmap(premultiplied, part);
    if (bitmap == nullptr) {
        return;
    }
    HDC source = CreateCompatibleDC(m_dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(m_dc, at.x + part.left, at.y + part.top, part.Width(), part.Height(), source, 0, 0,
               part.Width(), part.Height(), blend);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

void Win32PaintContext::DrawIconImage(const zui::Image& icon, zui::Point at) {
    if (HICON handle = m_icons(icon)) {
        DrawIconEx(m_dc, at.x, at.y, handle, 0, 0, 0, nullptr, DI_NORMAL);
    }
}
