#pragma once

#include "ui/framework/DialogCodes.h"
#include "ui/framework/Menu.h"

#include <array>
#include <cstdint>
#include <string_view>

// The tray icon, its popup menu and the system-menu About item as data, and the decisions of OnTrayNotify
// and OnSystemCommand as pure functions; the window carries the actions out.

inline constexpr int kTrayIconId = 128;
inline constexpr int kTrayIconResource = 128;
inline constexpr std::string_view kTrayTip = "zivev";

// Command of the menu item "界面"; the other item, "退出", sends the dialog's cancel command
// (zui::kIdCancel).
inline constexpr int kTrayShowWindowCommand = 1026;

// In append order; the menu is built anew for every use.
const std::array<zui::MenuItem, 2>& TrayMenuItems();

// System-menu addition: a separator, then the text of string resource 101 with this command.
inline constexpr std::string_view kAboutMenuText = "关于 Zephyrine(&A)...";
inline constexpr std::uint32_t kSysAboutCommand = 0x0010; // ID_SYS_ABOUT

enum class TrayAction {
    None,
    // Bring the window to the foreground, then show it; also what OnTrayShowWindow does.
    ShowWindow,
    // Take the cursor position, build the menu, bring the window to the foreground (so that the menu
    // closes on a click elsewhere), track the menu at the cursor, destroy it.
    OpenMenu,
};

struct TrayNotifyDecision {
    TrayAction action = TrayAction::None;
    int result = 0; // what OnTrayNotify returns: 1 for another icon, else 0
};

TrayNotifyDecision DecideTrayNotify(int iconId, std::uint32_t mouseMessage);

enum class SystemCommandAction {
    // AddTrayIcon (adds the icon if missing and hides the window), then the default handling.
    HideToTrayThenDefault,
    // Run the About box (template 100) modally and stop.
    ShowAbout,
    // The platform's default handling.
    Default,
};

SystemCommandAction DecideSystemCommand(std::uint32_t commandCode);
