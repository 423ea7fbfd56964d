#pragma once

#include "ui/framework/DialogEvents.h"
#include "ui/framework/DialogHost.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/DialogWindow.h"

#include <QEventLoop>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QSystemTrayIcon;
class QtUiPlatform;
struct StaticLook;

// One dialog as a top-level Qt window: its controls are child widgets made from the description, its
// messages reach the dialog's logic through DialogEvents, and a modal run is a nested event loop.
//
// The client area is the window's geometry: the window manager's frame and title bar lie outside it. The
// window paints into a canvas of its own, so that the logic's paint calls (which may come outside a paint
// event, as BeginPaint from a handler) and the exact alpha blend have pixels to work on; Invalidate keeps the
// area waiting to be painted the way Win32's update region does.
class QtDialogWindow final : public QWidget, public zui::DialogWindow {
public:
    QtDialogWindow(QtUiPlatform& platform, const zui::DialogDescription& description,
                   zui::DialogEvents& events, QtDialogWindow* owner);
    ~QtDialogWindow() override;

    bool Create(const std::function<bool()>& windowCreated) override;
    // A nested event loop; Qt's application modality keeps the owner's input away.
    void RunMessageLoop() override;
    void OnRunEnded() override;
    void Destroy() override;

    void SetTitle(const std::string& text) override;
    void SetIcon(const zui::Image& icon, bool big) override;
    void MoveWindow(const zui::Rect& outer, bool repaint) override;
    zui::Rect WindowRect() const override;
    zui::Rect ClientRect() const override { return {0, 0, width(), height()}; }
    void ShowWindow(bool show) override;
    bool IsVisible() const override { return isVisible(); }
    bool IsMinimized() const override { return isMinimized(); }
    void MinimizeWindow() override;
    void SetForeground() override;
    std::optional<int> LogicalDpiX() const override;
    void BeginWindowMove(zui::Point clientPoint) override;

    // The window manager owns the title bar's menu, so the system menu's own items are the window manager's
    // and the items appended here form the context menu of the client area (a right press outside the
    // controls).
    bool HasSystemMenu() const override { return Description().systemMenu; }
    void AppendSystemMenuItem(const zui::MenuItem& item) override;
    void TrackPopupMenu(std::span<const zui::MenuItem> items, zui::Point screenPoint) override;
    bool AddNotifyIcon(int iconId, const zui::Image& icon, const std::string& tip) override;
    bool DeleteNotifyIcon(int iconId) override;

    void SetControlText(int id, const std::string& text) override;
    std::string ControlText(int id) const override;
    void MoveControl(int id, const zui::Rect& rect, bool repaint) override;
    void ResizeControl(int id, zui::Size size) override;
    zui::Rect ControlRect(int id) const override;
    void ShowControl(int id, bool show) override;
    void EnableControl(int id, bool enable) override;
    void SetControlImage(int id, const zui::Image& image) override;
    void SetFocusToControl(int id) override;
    int FocusedControl() const override;
    void SelectControlText(int id) override;

    zui::FontId CreateLabelFont(const zui::FontSpec& wanted) override;

    void Invalidate(const zui::Rect& area, bool erase) override;
    void InvalidateControl(int id, bool erase) override;
    void UpdateWindow() override;
    // The paint handling draws only what is still invalid, which UpdateWindow has just painted.
    void SendPaintMessage() override { UpdateWindow(); }
    void PaintNow(const std::function<void(zui::PaintContext&)>& paint) override;

    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void CreateControls();
    // What a static asks at every paint: the dialog's OnCtlColor answer.
    StaticLook LookOf(int id);
    QWidget* Control(int id) const;
    int ScreenDpiY() const;

    QtUiPlatform& m_platform;
    QFont m_dialogFont;
    // The dialog units of the template, measured in its font.
    zui::DialogBaseUnits m_baseUnits;
    std::map<int, QWidget*> m_controls;
    std::vector<QFont> m_fonts;
    std::map<int, int> m_timers; // our ID -> Qt's
    QRegion m_invalid;
    const std::function<void(zui::PaintContext&)>* m_directPaint = nullptr;
    QSize m_requestedSize;
    struct StoredMenuItem {
        std::uint32_t flags;
        int commandId;
        std::string text;
    };
    std::vector<StoredMenuItem> m_systemMenu;
    std::map<int, std::unique_ptr<QSystemTrayIcon>> m_notifyIcons;
    // The grabbed point, from the frame's top-left, while the window follows the mouse itself.
    std::optional<QPoint> m_moveGrab;
    QEventLoop m_loop;
};
