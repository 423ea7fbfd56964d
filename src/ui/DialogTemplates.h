#pragma once

#include "ui/framework/DialogUnits.h"

#include <cstdint>
#include <span>
#include <string_view>

// The dialog templates of the resources as data: every rectangle in dialog units, which the window turns
// into pixels with DialogUnitsToPixels once it knows the dialog font.

// The framework's IDs, unqualified for the application's code.
using zui::kDialogCreationFailed;
using zui::kIdCancel;
using zui::kIdOk;
using zui::kNoControlId;

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

using zui::DialogUnitRect;

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
