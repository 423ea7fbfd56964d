#include "ui/win32/Win32DialogWindow.h"

#include "common/win32/Utf16.h"
#include "ui/win32/Win32Bitmaps.h"
#include "ui/win32/Win32Fonts.h"
#include "ui/win32/Win32UiPlatform.h"

// The controls of a dialog window, addressed by their IDs, and what the window draws them with.

HWND Win32DialogWindow::Control(int id) const {
    return m_hwnd != nullptr ? GetDlgItem(m_hwnd, id) : nullptr;
}

void Win32DialogWindow::SetControlText(int id, const std::string& text) {
    SetDlgItemTextW(m_hwnd, id, Utf8ToUtf16(text).c_str());
}

std::string Win32DialogWindow::ControlText(int id) const {
    HWND control = Control(id);
    if (control == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Utf16ToUtf8(text);
}

void Win32DialogWindow::MoveControl(int id, const zui::Rect& rect, bool repaint) {
    if (HWND control = Control(id)) {
        ::MoveWindow(control, rect.left, rect.top, rect.Width(), rect.Height(), repaint ? TRUE : FALSE);
    }
}

void Win32DialogWindow::ResizeControl(int id, zui::Size size) {
    if (HWND control = Control(id)) {
        SetWindowPos(control, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
}

zui::Rect Win32DialogWindow::ControlRect(int id) const {
    HWND control = Control(id);
    RECT rect{};
    if (control == nullptr || !GetWindowRect(control, &rect)) {
        return {};
    }
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32DialogWindow::ShowControl(int id, bool show) {
    if (HWND control = Control(id)) {
        ::ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    }
}

void Win32DialogWindow::EnableControl(int id, bool enable) {
    if (HWND control = Control(id)) {
        EnableWindow(control, enable ? TRUE : FALSE);
    }
}

void Win32DialogWindow::SetControlImage(int id, const zui::Image& image) {
    auto& shown = m_buttonImages[id];
    if (shown == &image) {
        return;
    }
    shown = &image;
    BitmapOf(image);
}

void Win32DialogWindow::DrawImageButton(const DRAWITEMSTRUCT& item) {
    const auto shown = m_buttonImages.find(static_cast<int>(item.CtlID));
    if (shown == m_buttonImages.end() || shown->second->IsNull()) {
        return;
    }
    // The one image, unscaled from the top-left corner, in every state and without a focus rectangle.
    const zui::Image& image = *shown->second;
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ previous = SelectObject(source, BitmapOf(image));
    BitBlt(item.hDC, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

HBITMAP Win32DialogWindow::BitmapOf(const zui::Image& image) {
    auto& bitmap = m_bitmaps[&image];
    if (bitmap == nullptr) {
        bitmap = win32_bitmaps::MakeBitmap(image);
    }
    return bitmap;
}

HICON Win32DialogWindow::IconOf(const zui::Image& image) {
    auto& icon = m_icons[&image];
    if (icon == nullptr) {
        icon = win32_bitmaps::MakeIcon(image);
    }
    return icon;
}

void Win32DialogWindow::SetFocusToControl(int id) {
    // Through the dialog manager, which also moves the default-button look.
    if (HWND control = Control(id)) {
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

int Win32DialogWindow::FocusedControl() const {
    HWND focused = GetFocus();
    return focused != nullptr && IsChild(m_hwnd, focused) ? GetDlgCtrlID(focused) : zui::kNoControlId;
}

void Win32DialogWindow::SelectControlText(int id) {
    SendDlgItemMessageW(m_hwnd, id, EM_SETSEL, 0, -1);
}

int Win32DialogWindow::ScreenDpiY() const {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

zui::FontId Win32DialogWindow::CreateLabelFont(const zui::FontSpec& wanted) {
    m_fonts.push_back(CreateFontOf(wanted, m_platform.ResolveFace(wanted.face), ScreenDpiY()));
    return static_cast<zui::FontId>(m_fonts.size());
}
