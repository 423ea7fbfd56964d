#include "ui/framework/DialogUnits.h"

namespace zui {

namespace {

// value * numerator / denominator, rounded to the nearest integer with halves away from zero.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

} // namespace

int AverageCharWidth(int advanceOfAlphabetPx) {
    return ScaleRounded(advanceOfAlphabetPx, 1, 52);
}

PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, const DialogBaseUnits& units) {
    return {ScaleRounded(rect.x, units.averageCharWidthPx, 4), ScaleRounded(rect.y, units.charHeightPx, 8),
            ScaleRounded(rect.width, units.averageCharWidthPx, 4),
            ScaleRounded(rect.height, units.charHeightPx, 8)};
}

} // namespace zui
