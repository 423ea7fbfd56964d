#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The dialog templates of the resources as data: every rectangle in dialog units, which the window turns
// into pixels with DialogUnitsToPixels once it knows the dialog font.

// The framework's command and modal-result IDs; named apart from IDOK/IDCANCEL, which windows.h defines as
// macros.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// What running a dialog modally returns when the dialog could not be created.
inline constexpr int kDialogCreationFailed = -1;
// The ID of controls that are never addressed (static texts and icons).
inline constexpr int kNoControlId = -1;

enum class DialogControlKind { PushButton, StaticText, StaticIcon, Edit };

// Control styles, named after what they do rather than after the platform's bits.
enum DialogControlStyle : std::uint32_t {
    kStyleDefaultButton = 1u << 0, // Enter presses it
    kStyleTabStop = 1u << 1,
    kStyleGroup = 1u << 2, // starts a group of controls
    kStyleLeftAligned = 1u << 3,
    kStyleNoPrefix = 1u << 4, // '&' is shown, not taken as a mnemonic
    kStyleBorder = 1u << 5,
    kStyleAutoHorizontalScroll = 1u << 6, // text may run past the right edge
};

struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct DialogControl {
    int id = kNoControlId;
    DialogControlKind kind = DialogControlKind::StaticText;
    std::string_view text;
    int iconResource = 0; // StaticIcon only
    DialogUnitRect rect;
    std::uint32_t styles = 0;
};

struct DialogTemplate {
    int resourceId = 0;
    std::string_view title;
    std::string_view fontFace;
    int fontPointSize = 0;
    int fontWeight = 400;
    // A modal frame with a caption always; the system menu, and with it the close box, only when set.
    bool hasSystemMenu = false;
    int width = 0; // client area, dialog units
    int height = 0;
    // Template order, which is also the tab order.
    std::span<const DialogControl> controls;
};

// Template 154: the fan-speed dialog of CCDlgSetSpeed.
const DialogTemplate& SetSpeedDialogTemplate();
// Template 100: the About box of CAboutDlg.
const DialogTemplate& AboutDialogTemplate();

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
