#include "ui/qt/QtImages.h"

#include "ui/framework/PlainBmp.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>

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

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> signature) {
    return bytes.size() >= signature.size() && std::equal(signature.begin(), signature.end(), bytes.begin());
}

// The format of the images the program embeds, known by their first bytes; nullptr for anything else.
// Named, Qt goes straight to its decoder; unnamed, it loads every image plugin it has to ask each of them.
const char* FormatOf(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) {
        return "PNG";
    }
    if (StartsWith(bytes, {'B', 'M'})) {
        return "BMP";
    }
    if (StartsWith(bytes, {0, 0, 1, 0})) {
        return "ICO";
    }
    return nullptr;
}

} // namespace

zui::Image Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (std::optional<zui::Image> plain = zui::DecodePlainBmp(bytes)) {
        return std::move(*plain);
    }
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, FormatOf(bytes));
    // Even with the format named, Qt asks every plugin before its own decoder unless told not to guess.
    reader.setAutoDetectImageFormat(reader.format().isEmpty());
    return FromQImage(reader.read());
}

} // namespace qt_images
