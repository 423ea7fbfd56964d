#pragma once

#include "ui/framework/DialogWindow.h"

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

class Win32UiPlatform;

// One dialog as a real Win32 dialog: made by the dialog manager from an in-memory template of its description
// (CreateDialogIndirectParamW), so that dialog units, the template font, the default button and the Tab order
// are Windows' own, and run in a modal loop of ours, which lets the dialog see each key before
// IsDialogMessage does, as the classic dialog frameworks do. One static dialog procedure finds the object
// through GWLP_USERDATA and hands each message to it.
class Win32DialogWindow final : public zui::DialogWindow {
public:
    // The message a notification-area icon sends its window (WM_TRAY_CALLBACK).
    static constexpr UINT kTrayCallbackMessage = WM_USER + 1;

    Win32DialogWindow(Win32UiPlatform& platform, const zui::DialogDescription& description,
                      zui::DialogEvents& events, Win32DialogWindow* owner);
    ~Win32DialogWindow() override;
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    // Whether hwnd is a dialog of this backend (and not, say, a message box).
    static bool IsDialogOfOurs(HWND hwnd);
    // Ends every message box of this thread, those of no window included, with IDCANCEL.
    static void EndMessageBoxes();

    bool Create(const std::function<bool()>& windowCreated) override;
    void RunMessageLoop() override;
    void OnRunEnded() override;
    void Destroy() override;

    void SetTitle(const std::string& text) override;
    void SetIcon(const zui::Image& icon, bool big) override;
    void MoveWindow(const zui::Rect& outer, bool repaint) override;
    zui::Rect WindowRect() const override;
    zui::Rect ClientRect() const override;
    void ShowWindow(bool show) override;
    bool IsVisible() const override;
    bool IsMinimized() const override;
    void MinimizeWindow() override;
    void SetForeground() override;
    std::optional<int> LogicalDpiX() const override;
    void BeginWindowMove(zui::Point clientPoint) override;

    bool HasSystemMenu() const override;
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
    void SendPaintMessage() override;
    void PaintNow(const std::function<void(zui::PaintContext&)>& paint) override;

    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void AddNotifyIconsAgain();
    // A message's result for the dialog manager (DWLP_MSGRESULT).
    INT_PTR Answer(LONG_PTR result);
    // Asks the dialog once, when the window exists and its controls do not yet.
    void AnswerCreated();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    void DrawImageButton(const DRAWITEMSTRUCT& item);
    void Paint();
    HWND Control(int id) const;
    HBITMAP BitmapOf(const zui::Image& image);
    HICON IconOf(const zui::Image& image);
    int ScreenDpiY() const;

    Win32UiPlatform& m_platform;
    Win32DialogWindow* m_owner;
    HWND m_hwnd = nullptr;
    const std::function<bool()>* m_windowCreated = nullptr;
    bool m_createdAnswered = false;
    bool m_creationRefused = false;
    HDEVNOTIFY m_deviceNotification = nullptr;
    std::vector<HFONT> m_fonts;
    // What the window made of images it was given, by their address (DialogHost::SetControlImage).
    std::map<const zui::Image*, HBITMAP> m_bitmaps;
    std::map<const zui::Image*, HICON> m_icons;
    std::map<int, const zui::Image*> m_buttonImages;
    // The icons this window keeps in the notification area, as they were added: Explorer forgets them when it
    // restarts, and they are added again when it says so.
    std::map<int, NOTIFYICONDATAW> m_notifyIcons;
};
