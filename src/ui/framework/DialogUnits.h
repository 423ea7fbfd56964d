#pragma once

// The numbers every dialog of the framework shares: command and modal-result IDs, and dialog units, the
// measure of dialog templates, which a window turns into pixels once it knows its dialog font.
namespace zui {

// Named apart from IDOK/IDCANCEL, which windows.h defines as macros.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// What running a dialog modally returns when the dialog could not be created.
inline constexpr int kDialogCreationFailed = -1;
// The ID of controls that are never addressed (static texts and icons).
inline constexpr int kNoControlId = -1;

struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The dialog base units: the dialog font's average character width (see AverageCharWidth) and its line
// height, in pixels.
struct DialogBaseUnits {
    int averageCharWidthPx = 0;
    int charHeightPx = 0;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The average character width that dialog units are measured by: the advance of the 52 letters A-Z a-z in
// the dialog font, divided by 52 and rounded to the nearest pixel.
int AverageCharWidth(int advanceOfAlphabetPx);

// A horizontal dialog unit is a quarter of the average character width and a vertical one an eighth of the
// character height. Each of x, y, width and height is scaled on its own and rounded to the nearest pixel
// (halves away from zero), as dialogs built from templates are.
PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, const DialogBaseUnits& units);

} // namespace zui
