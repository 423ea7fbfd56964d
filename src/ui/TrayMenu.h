#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The tray icon, its popup menu and the system-menu About item as data, and the decisions of OnTrayNotify
// and OnSystemCommand as pure functions; the window carries the actions out.

inline constexpr int kTrayIconId = 128;
inline constexpr int kTrayIconResource = 128;
inline constexpr std::string_view kTrayTip = "zivev";
inline constexpr std::uint32_t kTrayCallbackMessage = 0x0401; // WM_USER + 1, WM_TRAY_CALLBACK

// Command of the menu item "界面"; the other item, "退出", sends the dialog's cancel command (kIdCancel).
inline constexpr int kTrayShowWindowCommand = 1026;

inline constexpr std::uint32_t kMenuString = 0x0000;       // MF_STRING
inline constexpr std::uint32_t kMenuMenuBarBreak = 0x0020; // MF_MENUBARBREAK: the item opens a new column

struct TrayMenuItem {
    std::string_view text;
    int commandId = 0;
    std::uint32_t appendFlags = kMenuString;
};

// In append order; the menu is built anew for every use.
const std::array<TrayMenuItem, 2>& TrayMenuItems();

// System-menu addition: a separator, then string resource 101 with this command.
inline constexpr int kAboutStringResource = 101;
inline constexpr std::string_view kAboutMenuText = "关于 Zephyrine(&A)...";
inline constexpr std::uint32_t kSysAboutCommand = 0x0010; // ID_SYS_ABOUT

// The mouse messages the tray icon reports.
inline constexpr std::uint32_t kMouseLeftButtonUp = 0x0202;
inline constexpr std::uint32_t kMouseLeftButtonDoubleClick = 0x0203;
inline constexpr std::uint32_t kMouseRightButtonUp = 0x0205;

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

inline constexpr std::uint32_t kSysCommandMinimize = 0xF020; // SC_MINIMIZE
inline constexpr std::uint32_t kSysCommandClose = 0xF060;    // SC_CLOSE

enum class SystemCommandAction {
    // AddTrayIcon (adds the icon if missing and hides the window), then the default handling.
    HideToTrayThenDefault,
    // Run the About box (template 100) modally and stop.
    ShowAbout,
    // The platform's default handling.
    Default,
};

SystemCommandAction DecideSystemCommand(std::uint32_t commandCode);
