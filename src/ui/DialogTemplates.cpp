#include "ui/DialogTemplates.h"

#include <array>

namespace {

constexpr std::array<DialogControl, 5> kSetSpeedControls{{
    {kIdOk, DialogControlKind::PushButton, "确定", 0, {193, 36, 50, 14}, kStyleDefaultButton | kStyleTabStop},
    {kIdCancel, DialogControlKind::PushButton, "取消", 0, {247, 36, 50, 14}, kStyleTabStop},
    {kNoControlId,
     DialogControlKind::StaticText,
     "注意：请参考Lumenvale界面显示转速值进行设置，\n            "
     "如果设置值小于智控程序的最低转速，设置将会失效！",
     0,
     {2, 2, 238, 21},
     kStyleLeftAligned | kStyleGroup},
    {kNoControlId,
     DialogControlKind::StaticText,
     "输入风机转速值：",
     0,
     {2, 39, 65, 8},
     kStyleLeftAligned | kStyleGroup},
    {1065,
     DialogControlKind::Edit,
     "",
     0,
     {73, 36, 76, 14},
     kStyleBorder | kStyleTabStop | kStyleAutoHorizontalScroll},
}};

constexpr std::array<DialogControl, 3> kAboutControls{{
    {kNoControlId, DialogControlKind::StaticIcon, "", 128, {14, 14, 20, 20}, 0},
    {kNoControlId,
     DialogControlKind::StaticText,
     "Zephyrine，1.3 版",
     0,
     {42, 14, 114, 8},
     kStyleLeftAligned | kStyleNoPrefix | kStyleGroup},
    {kIdOk,
     DialogControlKind::PushButton,
     "确定",
     0,
     {113, 41, 50, 14},
     kStyleDefaultButton | kStyleGroup | kStyleTabStop},
}};

} // namespace

const DialogTemplate& SetSpeedDialogTemplate() {
    static const DialogTemplate kTemplate{154, "风扇转速设置",   "MS Shell Dlg", 8, 400, false, 311,
                                          65,  kSetSpeedControls};
    return kTemplate;
}

const DialogTemplate& AboutDialogTemplate() {
    static const DialogTemplate kTemplate{100, "关于 Zephyrine", "MS Shell Dlg", 9, 400, true, 170,
                                          62,  kAboutControls};
    return kTemplate;
}
