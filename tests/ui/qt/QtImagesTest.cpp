// Decoding by content: the embedded formats straight to their decoder, anything else as Qt recognises it
// (Qt writes no GIF, so JPEG, PPM and XPM stand for the formats the program does not embed).
#include "ui/qt/QtImages.h"
#include "ui/qt/QtUiPlatform.h"

#include "Resources.h"
#include "ui/ResourceIds.h"
#include "ui/framework/PlainBmp.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return {bytes.begin(), bytes.end()};
}

// What Qt makes of the bytes when it guesses the format itself.
zui::Image Guessed(std::span<const std::uint8_t> bytes) {
    return qt_images::FromQImage(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

QImage Pattern() {
    QImage image(13, 7, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba(x * 19, y * 37, 200, 255));
        }
    }
    return image;
}

TEST(QtImages, TheEmbeddedImagesDecodeAsWhenQtGuessesTheirFormat) {
    const struct {
        zres::ResourceKind kind;
        int id;
    } embedded[] = {{zres::ResourceKind::Bitmap, BitmapBackground},
                    {zres::ResourceKind::Bitmap, BitmapEcoSelected},
                    {zres::ResourceKind::Icon, IconMain},
                    {zres::ResourceKind::Png, 160}};
    for (const auto& [kind, id] : embedded) {
        const auto bytes = zres::EmbeddedResource(kind, id);
        const zui::Image decoded = qt_images::Decode(bytes);
        EXPECT_FALSE(decoded.IsNull()) << id;
        EXPECT_EQ(decoded, Guessed(bytes)) << id;
    }
}

TEST(QtImages, FormatsOfOtherSignaturesAreStillRecognised) {
    for (const char* format : {"BMP", "PNG", "ICO", "JPEG", "PPM", "XPM"}) {
        const auto bytes = Encoded(Pattern(), format);
        const zui::Image decoded = qt_images::Decode(bytes);
        EXPECT_EQ(decoded.width, 13) << format;
        EXPECT_EQ(decoded.height, 7) << format;
        EXPECT_EQ(decoded, Guessed(bytes)) << format;
    }
}

TEST(QtImages, BmpsReadDirectlyAreWhatQtMakesOfThem) {
    const struct {
        const char* what;
        QImage image;
        bool plain;
    } cases[] = {
        {"24 bits, rows padded", Pattern().convertToFormat(QImage::Format_RGB32), true},
        {"8 bits with a palette", Pattern().convertToFormat(QImage::Format_Indexed8), false},
    };
    for (const auto& c : cases) {
        const auto bytes = Encoded(c.image, "BMP");
        EXPECT_EQ(zui::DecodePlainBmp(bytes).has_value(), c.plain) << c.what;
        EXPECT_EQ(qt_images::Decode(bytes), Guessed(bytes)) << c.what;
    }
    for (const int id : {BitmapBackground, BitmapEcoSelected, BitmapClearEnergyGreyed}) {
        const auto bytes = zres::EmbeddedResource(zres::ResourceKind::Bitmap, id);
        EXPECT_TRUE(zui::DecodePlainBmp(bytes).has_value()) << id;
        EXPECT_EQ(qt_images::Decode(bytes), Guessed(bytes)) << id;
    }
}

TEST(QtImages, AFileIsKnownByItsContentNotItsName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtUiPlatform ui;
    const struct {
        const char* name;
        const char* format;
    } files[] = {{"logo.png", "BMP"}, {"logo.bmp", "PNG"}, {"logo.png", "JPEG"}};
    for (const auto& [name, format] : files) {
        const auto bytes = Encoded(Pattern(), format);
        const std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_EQ(ui.LoadImageFile(path), Guessed(bytes)) << name << " holding " << format;
        EXPECT_EQ(ui.LoadImageFile(path).width, 13) << name << " holding " << format;
    }
    EXPECT_TRUE(ui.LoadImageFile(dir.filePath("missing.png").toStdString()).IsNull());
}

} // namespace
