#include "ui/qt/QtFonts.h"

#include "ui/framework/FontSizes.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>

#include <algorithm>

namespace {

int BigEndian16(const QByteArray& table, int offset) {
    if (table.size() < offset + 2) {
        return 0;
    }
    return static_cast<std::uint8_t>(table[offset]) << 8 | static_cast<std::uint8_t>(table[offset + 1]);
}

// unitsPerEm from 'head' and usWinAscent and usWinDescent from 'OS/2', the numbers GDI fits a cell to.
zui::FaceMetrics MetricsOf(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        return {};
    }
    const QByteArray head = raw.fontTable("head");
    const QByteArray os2 = raw.fontTable("OS/2");
    return {BigEndian16(head, 18), BigEndian16(os2, 74), BigEndian16(os2, 76)};
}

} // namespace

namespace QtFonts {

std::optional<std::string> Add(std::span<const std::uint8_t> bytes) {
    const int id = QFontDatabase::addApplicationFontFromData(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        return std::nullopt;
    }
    return families.first().toStdString();
}

QFont FontOf(const zui::FontSpec& wanted, int dpiY) {
    QFont font(QString::fromStdString(wanted.face));
    font.setWeight(static_cast<QFont::Weight>(wanted.weight));
    // GDI lays text out in the whole-pixel advances of hinted glyphs; with full hinting Qt does too, so a
    // caption fits, or wraps, where it does on Windows.
    font.setHintingPreference(QFont::PreferFullHinting);
    if (wanted.unit == zui::FontSizeUnit::PointTenths) {
        font.setPixelSize(std::max(1, zui::PointTenthsToEmPixels(wanted.size, dpiY)));
    } else {
        font.setPixelSize(std::max(1, zui::CellHeightToEmPixels(wanted.size, MetricsOf(font))));
    }
    return font;
}

QFont DialogFont(const std::string& family, int points, int weight) {
    QFont font(QString::fromStdString(family), points);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

zui::DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return {zui::AverageCharWidth(
                metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
            metrics.height()};
}

} // namespace QtFonts
