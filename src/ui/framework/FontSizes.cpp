#include "ui/framework/FontSizes.h"

#include <cstdint>

namespace zui {

namespace {

int MulDiv(int number, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(rounded);
}

} // namespace

int PointTenthsToEmPixels(int tenths, int dpiY) {
    return MulDiv(tenths, dpiY, 720);
}

int CellHeightToEmPixels(int cellPixels, const FaceMetrics& face) {
    const int cellUnits = face.winAscent + face.winDescent;
    if (face.unitsPerEm <= 0 || cellUnits <= 0) {
        return cellPixels;
    }
    return MulDiv(cellPixels, face.unitsPerEm, cellUnits);
}

} // namespace zui
