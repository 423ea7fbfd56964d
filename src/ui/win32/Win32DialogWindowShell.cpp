#include "ui/win32/Win32DialogWindow.h"

#include "common/win32/Utf16.h"
#include "ui/win32/Win32UiPlatform.h"

#include <shellapi.h>

#include <algorithm>

// The dialog window's place on the desktop: title, icons, size and place, visibility, menus and its
// notification-area icons.

void Win32DialogWindow::SetTitle(const std::string& text) {
    SetWindowTextW(m_hwnd, Utf8ToUtf16(text).c_str());
}

void Win32DialogWindow::SetIcon(const zui::Image& icon, bool big) {
    SendMessageW(m_hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(IconOf(icon)));
}

void Win32DialogWindow::MoveWindow(const zui::Rect& outer, bool repaint) {
    // A change of size reaches OnSize through WM_SIZE before this returns.
    ::MoveWindow(m_hwnd, outer.left, outer.top, std::max(0, outer.Width()), std::max(0, outer.Height()),
                 repaint ? TRUE : FALSE);
}

zui::Rect Win32DialogWindow::WindowRect() const {
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

zui::Rect Win32DialogWindow::ClientRect() const {
    RECT rect{};
    GetClientRect(m_hwnd, &rect);
    return {0, 0, rect.right, rect.bottom};
}

void Win32DialogWindow::ShowWindow(bool show) {
    ::ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE);
}

bool Win32DialogWindow::IsVisible() const {
    return IsWindowVisible(m_hwnd) != FALSE;
}

bool Win32DialogWindow::IsMinimized() const {
    return IsIconic(m_hwnd) != FALSE;
}

void Win32DialogWindow::MinimizeWindow() {
    ::ShowWindow(m_hwnd, SW_MINIMIZE);
}

void Win32DialogWindow::SetForeground() {
    SetForegroundWindow(m_hwnd);
}

std::optional<int> Win32DialogWindow::LogicalDpiX() const {
    HDC dc = GetDC(m_hwnd);
    if (dc == nullptr) {
        return std::nullopt;
    }
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(m_hwnd, dc);
    return dpi;
}

void Win32DialogWindow::BeginWindowMove(zui::Point clientPoint) {
    POINT at{clientPoint.x, clientPoint.y};
    ClientToScreen(m_hwnd, &at);
    // As if the caption had been grabbed: the window system moves the window until the button is released.
    ReleaseCapture();
    SendMessageW(m_hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
}

bool Win32DialogWindow::HasSystemMenu() const {
    return GetSystemMenu(m_hwnd, FALSE) != nullptr;
}

void Win32DialogWindow::AppendSystemMenuItem(const zui::MenuItem& item) {
    AppendMenuW(GetSystemMenu(m_hwnd, FALSE), item.flags, static_cast<UINT_PTR>(item.commandId),
                Utf8ToUtf16(std::string(item.text)).c_str());
}

void Win32DialogWindow::TrackPopupMenu(std::span<const zui::MenuItem> items, zui::Point screenPoint) {
    HMENU menu = CreatePopupMenu();
    for (const zui::MenuItem& item : items) {
        AppendMenuW(menu, item.flags, static_cast<UINT_PTR>(item.commandId),
                    Utf8ToUtf16(std::string(item.text)).c_str());
    }
    // With flags 0 the chosen command arrives as a posted WM_COMMAND.
    ::TrackPopupMenu(menu, 0, screenPoint.x, screenPoint.y, 0, m_hwnd, nullptr);
    DestroyMenu(menu);
}

bool Win32DialogWindow::AddNotifyIcon(int iconId, const zui::Image& icon, const std::string& tip) {
    if (m_notifyIcons.contains(iconId)) {
        return false;
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hwnd;
    data.uID = static_cast<UINT>(iconId);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = IconOf(icon);
    const std::wstring wideTip = Utf8ToUtf16(tip).substr(0, std::size(data.szTip) - 1);
    std::copy(wideTip.begin(), wideTip.end(), data.szTip);
    if (!Shell_NotifyIconW(NIM_ADD, &data)) {
        return false;
    }
    m_notifyIcons.emplace(iconId, data);
    return true;
}

void Win32DialogWindow::AddNotifyIconsAgain() {
    for (auto& [iconId, data] : m_notifyIcons) {
        Shell_NotifyIconW(NIM_ADD, &data);
    }
}

bool Win32DialogWindow::DeleteNotifyIcon(int iconId) {
    const auto it = m_notifyIcons.find(iconId);
    if (it == m_notifyIcons.end()) {
        return false;
    }
    NOTIFYICONDATAW data = it->second;
    m_notifyIcons.erase(it);
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}
