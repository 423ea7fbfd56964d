#include "ui/win32/Win32PaintContext.h"

#include "ui/win32/Win32Bitmaps.h"

void Win32PaintContext::StretchImage(const zui::Image& image, const zui::Rect& dest) {
    if (image.IsNull()) {
        return;
    }
    // The context's own stretch mode, as StretchBlt from a memory context would use.
    const BITMAPINFO info = win32_bitmaps::HeaderOf(image);
    StretchDIBits(m_dc, dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, image.width, image.height,
                  image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32PaintContext::CopyImage(const zui::Image& image, zui::Point at) {
    StretchImage(image, zui::Rect::FromPointSize(at, image.GetSize()));
}

void Win32PaintContext::AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) {
    HBITMAP bitmap = win32_bitmaps::MakeBitmap(premultiplied);
    if (bitmap == nullptr) {
        return;
    }
    HDC source = CreateCompatibleDC(m_dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(m_dc, at.x, at.y, premultiplied.width, premultiplied.height, source, 0, 0, premultiplied.width,
               premultiplied.height, blend);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

void Win32PaintContext::DrawIconImage(const zui::Image& icon, zui::Point at) {
    if (HICON handle = m_icons(icon)) {
        DrawIconEx(m_dc, at.x, at.y, handle, 0, 0, 0, nullptr, DI_NORMAL);
    }
}
