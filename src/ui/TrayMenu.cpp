#include "ui/TrayMenu.h"

#include "ui/DialogTemplates.h"

const std::array<zui::MenuItem, 2>& TrayMenuItems() {
    static constexpr std::array<zui::MenuItem, 2> kItems{{
        {zui::MenuMenuBarBreak, kTrayShowWindowCommand, "界面"},
        {zui::MenuString, kIdCancel, "退出"},
    }};
    return kItems;
}

TrayNotifyDecision DecideTrayNotify(int iconId, std::uint32_t mouseMessage) {
    if (iconId != kTrayIconId) {
        return {TrayAction::None, 1};
    }
    switch (mouseMessage) {
    case zui::MouseLeftButtonUp:
    case zui::MouseLeftButtonDoubleClick:
        return {TrayAction::ShowWindow, 0};
    case zui::MouseRightButtonUp:
        return {TrayAction::OpenMenu, 0};
    default:
        return {TrayAction::None, 0};
    }
}

SystemCommandAction DecideSystemCommand(std::uint32_t commandCode) {
    if (commandCode == zui::SystemCommandMinimize || commandCode == zui::SystemCommandClose) {
        return SystemCommandAction::HideToTrayThenDefault;
    }
    // The platform keeps its own use for the low four bits of a command code.
    if ((commandCode & ~std::uint32_t{0xF}) == kSysAboutCommand) {
        return SystemCommandAction::ShowAbout;
    }
    return SystemCommandAction::Default;
}
