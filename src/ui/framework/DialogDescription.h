#pragma once

#include "ui/framework/DialogUnits.h"
#include "ui/framework/Types.h"

#include <string>
#include <vector>

namespace zui {

// How a font's size is given; see ui/Geometry.h for how each maps onto a backend.
enum class FontSizeUnit {
    CellHeightPixels, // the whole character cell, internal leading included (a positive LOGFONT height)
    PointTenths,      // tenths of a point, converted with the screen's vertical DPI
};

struct FontSpec {
    std::string face;
    FontSizeUnit unit = FontSizeUnit::PointTenths;
    int size = 0;
    int weight = 400;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A font made by a window's host; 0 is the dialog's own template font.
using FontId = int;

enum class ControlKind {
    StaticText,
    StaticIcon,  // text holds nothing; iconId names the picture
    ImageButton, // owner-drawn push button showing one image
    PushButton,
    Edit,
};

enum class TextAlign { Left, Center };

struct ControlDescription {
    int id = kNoControlId;
    ControlKind kind = ControlKind::StaticText;
    std::string text;
    // Dialog units; the main window's layout replaces them with pixels.
    DialogUnitRect rect;
    TextAlign align = TextAlign::Left;
    bool tabStop = false;
    // '&' is shown, not taken as a mnemonic (SS_NOPREFIX).
    bool noPrefix = false;
    // A thin sunken border (WS_BORDER, an edit's frame).
    bool border = false;
    // An edit's text may run past its right edge (ES_AUTOHSCROLL).
    bool autoHorizontalScroll = false;
    bool defaultButton = false;
    bool groupStart = false;
    // WS_EX_TRANSPARENT: the control does not hide what the dialog paints under it.
    bool transparent = false;
    int iconId = 0;
};

// What a backend needs to create a dialog: its frame, font and controls (templates 100 and 154 come from
// ui/DialogTemplates.h through DescribeTemplate, template 102 from the main window's control table).
struct DialogDescription {
    int resourceId = 0;
    std::string title;
    std::string fontFace;
    int fontPoints = 9;
    int fontWeight = 400;
    int widthDialogUnits = 0;
    int heightDialogUnits = 0;
    bool systemMenu = true;
    // A button in the task bar even when the window has an owner (WS_EX_APPWINDOW).
    bool taskbarButton = false;
    // Shown by the framework when OnInitDialog returns (WS_VISIBLE); otherwise the dialog shows itself.
    bool visible = true;
    // Template order, which is also the tab order.
    std::vector<ControlDescription> controls;
};

} // namespace zui
