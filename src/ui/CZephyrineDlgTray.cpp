#include "ui/CZephyrineDlg.h"

#include "ui/CAboutDlg.h"
#include "ui/TrayMenu.h"

#include <string>

// The main window's tray icon, its popup menu, the system menu's About item and dragging by the client area.

void CZephyrineDlg::AddAboutToSystemMenu() {
    zui::DialogHost& host = Host();
    if (!host.HasSystemMenu()) {
        return;
    }
    // String 101 is compiled in, so unlike a resource it cannot be missing or empty.
    host.AppendSystemMenuItem({zui::MenuSeparator, 0, {}});
    host.AppendSystemMenuItem({zui::MenuString, static_cast<int>(kSysAboutCommand), kAboutMenuText});
}

void CZephyrineDlg::AddTrayIcon() {
    // When the icon is there already the add fails and that icon stays: there is never a second one.
    Host().AddNotifyIcon(kTrayIconId, m_images.Icon(kTrayIconResource), std::string(kTrayTip));
    // Without a notification area a hidden window could never come back.
    if (App().Ui().SystemTrayAvailable()) {
        Host().ShowWindow(false);
    }
}

void CZephyrineDlg::RemoveTrayIcon() {
    Host().DeleteNotifyIcon(kTrayIconId);
}

int CZephyrineDlg::OnTrayNotify(int iconId, std::uint32_t mouseMessage) {
    const TrayNotifyDecision decision = DecideTrayNotify(iconId, mouseMessage);
    switch (decision.action) {
    case TrayAction::ShowWindow:
        OnTrayShowWindow();
        break;
    case TrayAction::OpenMenu:
        OpenTrayMenu();
        break;
    case TrayAction::None:
        break;
    }
    return decision.result;
}

void CZephyrineDlg::OpenTrayMenu() {
    const zui::Point cursor = App().Ui().CursorPosition();
    // The window in front, so that the menu closes when the user clicks elsewhere.
    Host().SetForeground();
    Host().TrackPopupMenu(TrayMenuItems(), cursor);
}

void CZephyrineDlg::OnTrayShowWindow() {
    Host().SetForeground();
    Host().ShowWindow(true);
}

bool CZephyrineDlg::OnSystemCommand(unsigned code) {
    switch (DecideSystemCommand(code)) {
    case SystemCommandAction::HideToTrayThenDefault:
        AddTrayIcon();
        break;
    case SystemCommandAction::ShowAbout: {
        CAboutDlg about(App());
        about.DoModal(&Host());
        return true;
    }
    case SystemCommandAction::Default:
        break;
    }
    // A close then reaches OnClose, which hides the window; a minimise is carried out on the hidden window.
    return zui::DialogBase::OnSystemCommand(code);
}

void CZephyrineDlg::OnLeftButtonDown(zui::Point point) {
    Host().BeginWindowMove(point);
    zui::DialogBase::OnLeftButtonDown(point);
}
