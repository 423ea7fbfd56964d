#include "ui/TrayMenu.h"

#include "ui/DialogTemplates.h"

const std::array<TrayMenuItem, 2>& TrayMenuItems() {
    static constexpr std::array<TrayMenuItem, 2> kItems{{
        {"界面", kTrayShowWindowCommand, kMenuMenuBarBreak},
        {"退出", kIdCancel, kMenuString},
    }};
    return kItems;
}

TrayNotifyDecision DecideTrayNotify(int iconId, std::uint32_t mouseMessage) {
    if (iconId != kTrayIconId) {
        return {TrayAction::None, 1};
    }
    switch (mouseMessage) {
    case kMouseLeftButtonUp:
    case kMouseLeftButtonDoubleClick:
        return {TrayAction::ShowWindow, 0};
    case kMouseRightButtonUp:
        return {TrayAction::OpenMenu, 0};
    default:
        return {TrayAction::None, 0};
    }
}

SystemCommandAction DecideSystemCommand(std::uint32_t commandCode) {
    if (commandCode == kSysCommandMinimize || commandCode == kSysCommandClose) {
        return SystemCommandAction::HideToTrayThenDefault;
    }
    // The platform keeps its own use for the low four bits of a command code.
    if ((commandCode & ~std::uint32_t{0xF}) == kSysAboutCommand) {
        return SystemCommandAction::ShowAbout;
    }
    return SystemCommandAction::Default;
}
