#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/Image.h"
#include "ui/framework/Menu.h"
#include "ui/framework/PaintContext.h"
#include "ui/framework/Types.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace zui {

// One open dialog window as a backend (Qt, Win32, the tests' fake) carries it out. The dialog's logic acts
// on its window only through this, on the window's thread; controls are addressed by their template IDs.
// A backend's window (DialogWindow) exists from just before OnCreate until just after OnDestroy (see
// DialogEvents).
class DialogHost {
public:
    virtual ~DialogHost() = default;

    // The window.
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetIcon(const Image& icon, bool big) = 0;
    // The outer rectangle in screen pixels. A move that changes the size calls OnSize before it returns,
    // as WM_SIZE does.
    virtual void MoveWindow(const Rect& outer, bool repaint) = 0;
    virtual Rect WindowRect() const = 0;
    // Always at (0, 0).
    virtual Rect ClientRect() const = 0;
    virtual void ShowWindow(bool show) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual void MinimizeWindow() = 0;
    virtual void SetForeground() = 0;
    // Horizontal logical DPI of the window's display; nullopt when no display context can be had.
    virtual std::optional<int> LogicalDpiX() const = 0;
    // The window system's move of the window, as if its caption had been grabbed at this client point
    // (WM_NCLBUTTONDOWN with HTCAPTION): the window follows the mouse until the button is released.
    virtual void BeginWindowMove(Point clientPoint) = 0;

    // The window's system menu (GetSystemMenu without reverting it): false when the window has none.
    virtual bool HasSystemMenu() const = 0;
    // Appended after the window system's own items; choosing it sends OnSystemCommand with its command.
    virtual void AppendSystemMenuItem(const MenuItem& item) = 0;
    // A popup menu owned by this window (TrackPopupMenu with flags 0): its top-left corner at the screen
    // point, items chosen with the left button; returns when it has closed. The chosen item's command is
    // posted to the dialog's OnCommand; a click elsewhere closes the menu without a command.
    virtual void TrackPopupMenu(std::span<const MenuItem> items, Point screenPoint) = 0;

    // An icon of this window in the desktop's notification area (Shell_NotifyIcon): its mouse messages reach
    // the dialog as OnTrayNotify. False when an icon with this ID is there already (it stays as it is) or
    // none can be added.
    virtual bool AddNotifyIcon(int iconId, const Image& icon, const std::string& tip) = 0;
    // False when there was no such icon.
    virtual bool DeleteNotifyIcon(int iconId) = 0;

    // Controls.
    virtual void SetControlText(int id, const std::string& text) = 0;
    virtual std::string ControlText(int id) const = 0;
    // Client coordinates.
    virtual void MoveControl(int id, const Rect& rect, bool repaint) = 0;
    // Keeps the top-left corner and the z-order, does not redraw (SetWindowPos with SWP_NOMOVE, SWP_NOZORDER,
    // SWP_NOREDRAW, SWP_NOACTIVATE).
    virtual void ResizeControl(int id, Size size) = 0;
    // Client coordinates (GetWindowRect followed by ScreenToClient).
    virtual Rect ControlRect(int id) const = 0;
    virtual void ShowControl(int id, bool show) = 0;
    virtual void EnableControl(int id, bool enable) = 0;
    // The one (normal-state) image of an image button; it draws it unscaled from its top-left corner. The
    // image must stay as it is while the button shows it (the window's embedded images do), so that a backend
    // may keep what it made of it and knows the same image again by its address.
    virtual void SetControlImage(int id, const Image& image) = 0;
    virtual void SetFocusToControl(int id) = 0;
    // kNoControlId when no control of this dialog has the focus.
    virtual int FocusedControl() const = 0;
    // Selects the whole text of an edit control.
    virtual void SelectControlText(int id) = 0;

    // A font for OnCtlColor to hand out; it lives as long as the window.
    virtual FontId CreateLabelFont(const FontSpec& wanted) = 0;

    // Painting. Invalidated areas are painted by the next UpdateWindow, or later by the window system.
    virtual void Invalidate(const Rect& area, bool erase) = 0;
    virtual void InvalidateControl(int id, bool erase) = 0;
    // Paints the invalid areas of the window and its controls at once.
    virtual void UpdateWindow() = 0;
    // WM_PAINT sent directly: runs the paint handling now; it draws only what is still invalid.
    virtual void SendPaintMessage() = 0;
    // Paints outside a paint request (BeginPaint/EndPaint from a handler): what paint draws is clipped to
    // the still-invalid area, which then counts as painted.
    virtual void PaintNow(const std::function<void(PaintContext&)>& paint) = 0;

    // Timers by ID; setting a running timer again restarts its period.
    virtual void SetTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;

    // Ends the modal run with this result; message boxes and dialogs still open above it are closed.
    virtual void EndDialog(int result) = 0;
};

} // namespace zui
