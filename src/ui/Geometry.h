#pragma once

#include "ui/framework/FontSizes.h"
#include "ui/framework/Types.h"

// The main window's sizes, derived from the screen, the client area and the display's DPI; pure arithmetic
// in the precisions the window has always used, so that every backend places the same pixels.
//
// Fonts come in two kinds, and this is the one place that says how each reaches a backend:
// - A cell-height font (FontSizeUnit::CellHeightPixels) asks for the height of the whole character cell,
//   internal leading included, in pixels: a positive LOGFONT height, which GDI meets by scaling the face so
//   that usWinAscent + usWinDescent fill the cell. Qt's pixel size is the em height instead, so the Qt
//   backend asks for zui::CellHeightToEmPixels of the face's own metrics.
// - A point font (FontSizeUnit::PointTenths) asks for tenths of a point. GDI turns them into an em height
//   of MulDiv(tenths, LOGPIXELSY, 720) pixels (a negative LOGFONT height); zui::PointTenthsToEmPixels is that
//   conversion, and the Qt backend passes its result to Qt as the pixel size, so neither Qt's own point
//   conversion nor its high-DPI scaling (which the Qt program turns off) changes a size.
// The sizes themselves come from FontScale, k(N), which divides by the horizontal DPI: on a 120 DPI display
// the point fonts get fewer tenths that convert back to the same pixels, while the cell fonts shrink.
namespace geometry {

inline constexpr zui::Size kReferenceClient{804, 394};
// The placement of the one-shot timer: where the window sits on a 1366 x 768 screen.
inline constexpr zui::Rect kPlacement{350, 180, 350 + 810, 180 + 422};

// The window's outer size for a screen: SW x 810 / 1366 by SH x 422 / 768, in 32-bit integers.
zui::Size ProportionalWindowSize(zui::Size screen);

// ScreenFactor s, a float: SW < 1366 gives SW / 1366 x 1.2, SW > 1600 gives 0.9, else 1.0.
float ScreenFactor(int screenWidth);

// k(N) = (96 / DpiX) x N / 804 x W x s, left to right in double precision.
double FontScale(int dpiX, int baseNumber, int clientWidth, float screenFactor);

// trunc(k(N) - subtractTenths): the cell height in pixels or the size in tenths of a point.
int FontSize(int baseNumber, int subtractTenths, int dpiX, int clientWidth, float screenFactor);

// A control's reference rectangle on the real client area: each edge trunc(W x (L / 804)) (and H x (T / 394)
// for the vertical ones), the quotient a double constant and the product in double precision.
zui::Rect ScaleReferenceRect(const zui::Rect& reference, zui::Size client);

// Where the icon of the minimised window is drawn: ((cw - cx x 810 / 1366 + 1) / 2, (ch - cy x 422 / 768 + 1)
// / 2).
zui::Point MinimisedIconPosition(zui::Size client, zui::Size icon);

} // namespace geometry
