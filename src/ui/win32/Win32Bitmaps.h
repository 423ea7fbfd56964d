#pragma once

#include "ui/framework/Image.h"

#include <windows.h>

// The framework's BGRA images as GDI objects. GDI's 32-bit DIBs keep the same byte order, blue, green, red,
// alpha, so the pixels are copied as they are.
namespace win32_bitmaps {

// A top-down 32-bit DIB header of that size.
BITMAPINFO HeaderOf(zui::Size size);
// A DIB section holding the image's pixels, or those of part of it (in the image's coordinates, inside
// it); null for an empty image or part. The caller deletes it.
HBITMAP MakeBitmap(const zui::Image& image);
HBITMAP MakeBitmap(const zui::Image& image, const zui::Rect& part);
// An icon of the image with its alpha (a 32-bit colour bitmap and an all-zero mask); null for an empty image.
HICON MakeIcon(const zui::Image& image);

} // namespace win32_bitmaps
