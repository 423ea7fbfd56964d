#include "ui/qt/QtImages.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "Qt's 32-bit pixels are read as BGRA bytes");

namespace qt_images {

zui::Image FromQImage(const QImage& decoded) {
    if (decoded.isNull()) {
        return {};
    }
    const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    zui::Image image;
    image.width = argb.width();
    image.height = argb.height();
    image.hasAlpha = decoded.hasAlphaChannel();
    image.bitsPerPixel = image.hasAlpha ? 32 : 24;
    image.pixels.resize(static_cast<std::size_t>(image.Stride()) * image.height);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(image.PixelAt(0, y), argb.constScanLine(y), static_cast<std::size_t>(image.Stride()));
    }
    return image;
}

QImage View(const zui::Image& image, bool withAlpha) {
    if (image.IsNull()) {
        return {};
    }
    return QImage(image.pixels.data(), image.width, image.height, image.Stride(),
                  withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

zui::Image Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    return FromQImage(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

} // namespace qt_images
