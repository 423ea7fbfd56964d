#pragma once

// How a backend turns the framework's font sizes (FontSizeUnit) into the em height its window system takes.
namespace zui {

// MulDiv(tenths, dpiY, 720): rounded to the nearest pixel, halves away from zero.
int PointTenthsToEmPixels(int tenths, int dpiY);

// The face's vertical metrics, in font units, from its 'head' and 'OS/2' tables.
struct FaceMetrics {
    int unitsPerEm = 0;
    int winAscent = 0;
    int winDescent = 0;
};

// The em height that makes usWinAscent + usWinDescent fill cellPixels, rounded; cellPixels when the
// metrics are unknown.
int CellHeightToEmPixels(int cellPixels, const FaceMetrics& face);

} // namespace zui
