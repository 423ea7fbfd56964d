#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/Types.h"

#include <span>

// The main window's 37 controls, their fonts, caption texts and colours: the one description that the
// window's logic and every backend use.

// The image buttons; the readings are ReadingLabel (protocol/ReadingDisplay.h).
enum ButtonId : int {
    IdSetSpeedButton = 1041,
    IdClearEnergyButton = 1044,
    IdEcoButton = 1063,
    IdTempControlButton = 1064,
};

enum class ControlRole { Reading, Caption, ImageButton };

// Which font a control paints with; FontRole::None for the buttons.
enum class FontRole { None, ChineseCaption, EnglishCaption, RailCaption, BottomBar, TopBar, Reading };

enum class TextColourRule {
    None,           // buttons: not a static
    Caption,        // RGB(90, 90, 90)
    Bar,            // RGB(255, 255, 255), in the dark top and bottom bars
    FlaggedReading, // RGB(255, 0, 0) when the reading's flag is exactly 1, otherwise black
    Reading,        // RGB(0, 0, 0)
};

struct ControlInfo {
    int id;
    ControlRole role;
    zui::TextAlign align;
    // WS_EX_TRANSPARENT (1041 and 1044).
    bool transparent;
    const char* templateText;
    // On ReferenceClient, 804 x 394.
    zui::Rect reference;
    FontRole font;
    TextColourRule colour;
};

struct FontRow {
    FontRole role;
    const char* face;
    zui::FontSizeUnit unit;
    int baseNumber;     // N of k(N)
    int subtractTenths; // the readings' "- 5"
    int weight;
    std::span<const int> controls;
};

struct CaptionText {
    int id;
    const char* text;
};

namespace control_table {

inline constexpr const char* kReadingFace = "300-CAI978";
inline constexpr const char* kCaptionFace = "Source Han Sans K Normal";

// In layout order.
std::span<const ControlInfo> Controls();
// nullptr for an ID that is not one of the 37.
const ControlInfo* Find(int id);
// In the order the fonts are created.
std::span<const FontRow> Fonts();
// In the order the texts are set.
std::span<const CaptionText> Captions();
zui::Rgb TextColour(TextColourRule rule, int flagValue);
// Dialog template 102: the controls' IDs, kinds, styles and initial texts (their places come from the
// layout).
const zui::DialogDescription& MainWindowDescription();

} // namespace control_table
