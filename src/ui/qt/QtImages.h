#pragma once

#include "ui/framework/Image.h"

#include <QImage>

#include <cstdint>
#include <span>

// The framework's BGRA images as Qt sees them. Qt's 32-bit formats keep each pixel as a native 0xAARRGGBB
// word, which on a little-endian machine is the bytes blue, green, red, alpha: the framework's own order, so
// no pixel is converted.
namespace qt_images {

// A zui::Image from a decoded QImage; an empty one for a null image.
zui::Image FromQImage(const QImage& decoded);
// Borrows image's pixels for as long as image lives and is not changed; alpha is used only when asked.
QImage View(const zui::Image& image, bool withAlpha);
zui::Image Decode(std::span<const std::uint8_t> bytes);

} // namespace qt_images
