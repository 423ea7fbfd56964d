#pragma once

#include "ui/framework/Image.h"

#include <windows.h>

// The framework's BGRA images as GDI objects. GDI's 32-bit DIBs keep the same byte order, blue, green, red,
// alpha, so the pixels are copied as they are.
namespace win32_bitmaps {

// A top-down 32-bit DIB header for the image.
BITMAPINFO HeaderOf(const zui::Image& image);
// A DIB section holding the image's pixels; null for an empty image. The caller deletes it.
HBITMAP MakeBitmap(const zui::Image& image);
// An icon of the image with its alpha (a 32-bit colour bitmap and an all-zero mask); null for an empty image.
HICON MakeIcon(const zui::Image& image);

} // namespace win32_bitmaps
