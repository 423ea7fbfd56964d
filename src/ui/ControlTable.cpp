#include "ui/ControlTable.h"

#include "protocol/ReadingDisplay.h"

#include <algorithm>
#include <array>

namespace control_table {

namespace {

using zui::TextAlign;
constexpr auto Centre = TextAlign::Center;

constexpr ControlInfo Reading(int id, const char* text, zui::Rect reference, TextColourRule colour) {
    return {id, ControlRole::Reading, Centre, false, text, reference, FontRole::Reading, colour};
}
constexpr ControlInfo Button(int id, zui::Rect reference, bool transparent) {
    return {id,
            ControlRole::ImageButton,
            Centre,
            transparent,
            "",
            reference,
            FontRole::None,
            TextColourRule::None};
}
constexpr ControlInfo Caption(int id, zui::Rect reference, FontRole font, TextAlign align = Centre) {
    const TextColourRule colour = font == FontRole::BottomBar || font == FontRole::TopBar
                                      ? TextColourRule::Bar
                                      : TextColourRule::Caption;
    return {id, ControlRole::Caption, align, false, "", reference, font, colour};
}

constexpr auto Flagged = TextColourRule::FlaggedReading;
constexpr auto Plain = TextColourRule::Reading;
constexpr auto Chinese = FontRole::ChineseCaption;
constexpr auto English = FontRole::EnglishCaption;
constexpr auto Rail = FontRole::RailCaption;

constexpr std::array kControls{
    Reading(LabelInputVoltage, "000", {79, 135, 163, 165}, Flagged),
    Reading(LabelInputCurrent, "0.00", {203, 135, 287, 165}, Plain),
    Reading(LabelInputPower, "00", {79, 238, 163, 268}, Flagged),
    Reading(LabelEnergy, "0.00", {203, 238, 287, 268}, Plain),
    Reading(LabelRail12V, "00.00", {476, 135, 560, 165}, Flagged),
    Reading(LabelRailMinus12V, "00.00", {364, 201, 448, 231}, Flagged),
    Reading(LabelRail5Vsb, "0.00", {476, 201, 560, 231}, Flagged),
    Reading(LabelRail5V, "0.00", {476, 268, 560, 298}, Flagged),
    Reading(LabelRail3V3, "0.00", {364, 268, 448, 298}, Flagged),
    Reading(LabelTemperature, "00", {644, 135, 728, 165}, Flagged),
    Reading(LabelFanSpeed, "000", {627, 240, 748, 270}, Plain),
    Button(IdEcoButton, {441, 53, 565, 90}, false),
    Button(IdTempControlButton, {590, 53, 714, 90}, false),
    Button(IdClearEnergyButton, {214, 329, 277, 354}, true),
    Button(IdSetSpeedButton, {655, 329, 718, 354}, true),
    Caption(1060, {74, 170, 169, 193}, Chinese),
    Caption(1061, {74, 187, 169, 210}, English),
    Caption(1071, {74, 273, 169, 296}, Chinese),
    Caption(1072, {74, 291, 169, 314}, English),
    Caption(1062, {198, 170, 293, 193}, Chinese),
    Caption(1070, {198, 187, 293, 210}, English),
    Caption(1073, {177, 273, 315, 296}, Chinese),
    Caption(1074, {158, 291, 333, 314}, English),
    Caption(1075, {364, 133, 483, 156}, Chinese, TextAlign::Left),
    Caption(1076, {364, 151, 483, 174}, English, TextAlign::Left),
    Caption(1077, {471, 168, 566, 191}, Rail),
    Caption(1078, {359, 235, 454, 258}, Rail),
    Caption(1079, {471, 235, 566, 258}, Rail),
    Caption(1080, {471, 301, 566, 324}, Rail),
    Caption(1081, {359, 301, 454, 324}, Rail),
    Caption(1084, {609, 273, 763, 296}, Chinese),
    Caption(1085, {609, 291, 763, 314}, English),
    Caption(1082, {627, 170, 746, 193}, Chinese),
    Caption(1083, {609, 187, 763, 210}, English),
    Caption(1087, {340, 21, 806, 40}, FontRole::TopBar),
    Caption(1086, {716, 380, 811, 399}, FontRole::BottomBar),
    Caption(1088, {12, 379, 255, 398}, FontRole::BottomBar),
};

constexpr std::array kChineseCaptions{1060, 1062, 1071, 1073, 1075, 1082, 1084};
constexpr std::array kEnglishCaptions{1061, 1070, 1072, 1074, 1076, 1083, 1085};
constexpr std::array kRailCaptions{1077, 1078, 1079, 1080, 1081};
constexpr std::array kBottomBar{1086, 1088};
constexpr std::array kTopBar{1087};
constexpr std::array<int, 11> kReadings{
    LabelInputVoltage, LabelEnergy, LabelInputCurrent, LabelInputPower,  LabelRail12V, LabelRailMinus12V,
    LabelRail5Vsb,     LabelRail5V, LabelRail3V3,      LabelTemperature, LabelFanSpeed};

constexpr auto Cell = zui::FontSizeUnit::CellHeightPixels;
constexpr auto Points = zui::FontSizeUnit::PointTenths;

const std::array kFonts{
    FontRow{FontRole::ChineseCaption, kCaptionFace, Cell, 16, 0, 600, kChineseCaptions},
    FontRow{FontRole::EnglishCaption, kCaptionFace, Points, 78, 0, 400, kEnglishCaptions},
    FontRow{FontRole::RailCaption, kCaptionFace, Points, 100, 0, 400, kRailCaptions},
    FontRow{FontRole::BottomBar, kCaptionFace, Points, 60, 0, 400, kBottomBar},
    FontRow{FontRole::TopBar, kCaptionFace, Points, 55, 0, 400, kTopBar},
    FontRow{FontRole::Reading, kReadingFace, Points, 240, 5, 400, kReadings},
};

constexpr std::array kCaptions{
    CaptionText{1060, "输入电压（V）"},
    CaptionText{1061, "Input Voltage "},
    CaptionText{1071, "输入功率（W）"},
    CaptionText{1072, "Input Power "},
    CaptionText{1062, "输入电流（A）"},
    CaptionText{1070, "Input Current "},
    CaptionText{1073, "累计使用电量(度)"},
    CaptionText{1074, "Electricity Consumption "},
    CaptionText{1075, "输出电压"},
    CaptionText{1076, "Output Voltage"},
    CaptionText{1077, "+12V(V)"},
    CaptionText{1078, "-12V(V)"},
    CaptionText{1080, "+5V(V)"},
    CaptionText{1079, "+5Vsb(V)"},
    CaptionText{1081, "+3.3V(V)"},
    CaptionText{1082, "环境温度(℃)"},
    CaptionText{1083, "Ambient Temperature"},
    CaptionText{1084, "风机转速(转/分钟)"},
    CaptionText{1085, "Fan Speed "},
    CaptionText{1086, "V01"},
    CaptionText{
        1087, "P           O           W           E           R\t              S           U           P    "
              "       P           L            Y"},
    CaptionText{1088, "数据来源于采样计算，仅供参考！"},
};

zui::DialogDescription BuildMainWindowDescription() {
    zui::DialogDescription dialog;
    dialog.resourceId = 102;
    dialog.fontFace = "MS Shell Dlg";
    dialog.fontPoints = 9;
    dialog.fontWeight = 700;
    dialog.widthDialogUnits = 467;
    dialog.heightDialogUnits = 225;
    dialog.systemMenu = true;
    dialog.taskbarButton = true;
    dialog.visible = false;
    for (const ControlInfo& control : kControls) {
        zui::ControlDescription item;
        item.id = control.id;
        item.text = control.templateText;
        item.align = control.align;
        item.transparent = control.transparent;
        if (control.role == ControlRole::ImageButton) {
            item.kind = zui::ControlKind::ImageButton;
            item.tabStop = true;
        }
        dialog.controls.push_back(item);
    }
    return dialog;
}

} // namespace

std::span<const ControlInfo> Controls() {
    return kControls;
}

const ControlInfo* Find(int id) {
    const auto it = std::ranges::find(kControls, id, &ControlInfo::id);
    return it == kControls.end() ? nullptr : &*it;
}

std::span<const FontRow> Fonts() {
    return kFonts;
}

std::span<const CaptionText> Captions() {
    return kCaptions;
}

zui::Rgb TextColour(TextColourRule rule, int flagValue) {
    switch (rule) {
    case TextColourRule::Caption:
        return {90, 90, 90};
    case TextColourRule::Bar:
        return {255, 255, 255};
    case TextColourRule::FlaggedReading:
        return flagValue == 1 ? zui::Rgb{255, 0, 0} : zui::Rgb{0, 0, 0};
    case TextColourRule::Reading:
    case TextColourRule::None:
        break;
    }
    return {0, 0, 0};
}

const zui::DialogDescription& MainWindowDescription() {
    static const zui::DialogDescription dialog = BuildMainWindowDescription();
    return dialog;
}

} // namespace control_table
