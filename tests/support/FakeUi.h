#pragma once

#include "support/UiPrinters.h"
#include "ui/framework/DialogEvents.h"
#include "ui/framework/DialogHost.h"
#include "ui/framework/DialogWindow.h"
#include "ui/framework/UiPlatform.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

// A headless backend of the dialog framework for the window's logic tests. It keeps what a window system
// would show (titles, control texts, places, images, timers) and logs every call in order; time passes only
// through AdvanceMs; the window's thread is the test's thread, which runs the posted calls when it pumps.

struct RecordedBox {
    std::string text;
    std::string caption;
    zui::MessageBoxButtons buttons;
    zui::MessageBoxIcon icon;
    bool owned;
};

struct PaintOperation {
    enum class Kind { Stretch, Copy, AlphaBlend, Icon };
    Kind kind;
    zui::Image image;
    zui::Rect dest; // Stretch
    zui::Point at;  // the others
};

class RecordingPaintContext final : public zui::PaintContext {
public:
    void StretchImage(const zui::Image& image, const zui::Rect& dest) override {
        operations.push_back({PaintOperation::Kind::Stretch, image, dest, {}});
    }
    void CopyImage(const zui::Image& image, zui::Point at) override {
        operations.push_back({PaintOperation::Kind::Copy, image, {}, at});
    }
    void AlphaBlendImage(const zui::Image& image, zui::Point at) override {
        operations.push_back({PaintOperation::Kind::AlphaBlend, image, {}, at});
    }
    void DrawIconImage(const zui::Image& image, zui::Point at) override {
        operations.push_back({PaintOperation::Kind::Icon, image, {}, at});
    }

    std::vector<PaintOperation> operations;
};

struct FakeControl {
    zui::ControlDescription description;
    std::string text;
    zui::Rect rect;
    bool visible = true;
    bool enabled = true;
    zui::Image image;
};

// A menu item as the fake keeps it: its text copied.
struct FakeMenuItem {
    std::uint32_t flags;
    int commandId;
    std::string text;
    friend bool operator==(const FakeMenuItem&, const FakeMenuItem&) = default;
};

struct TrackedMenu {
    std::vector<FakeMenuItem> items;
    zui::Point at;
};

struct FakeNotifyIcon {
    zui::Image icon;
    std::string tip;
};

class FakeUiPlatform;

class FakeDialogHost final : public zui::DialogWindow {
public:
    FakeDialogHost(FakeUiPlatform& platform, const zui::DialogDescription& description,
                   zui::DialogEvents& events);

    bool Create(const std::function<bool()>& windowCreated) override;
    // The message loop is the run's script (FakeUiPlatform::ScriptNextRun); without one the loop returns at
    // once.
    void RunMessageLoop() override;
    void OnRunEnded() override { Log("end " + std::to_string(Result())); }
    // What is still posted to the window is dropped from now on, as for a destroyed Win32 window.
    void Destroy() override;

    void SetTitle(const std::string& text) override;
    void SetIcon(const zui::Image& icon, bool big) override;
    void MoveWindow(const zui::Rect& outer, bool repaint) override;
    zui::Rect WindowRect() const override { return m_windowRect; }
    zui::Rect ClientRect() const override;
    void ShowWindow(bool show) override;
    bool IsVisible() const override { return m_visible; }
    bool IsMinimized() const override { return m_minimized; }
    void MinimizeWindow() override;
    void SetForeground() override { Log("foreground"); }
    std::optional<int> LogicalDpiX() const override;
    void BeginWindowMove(zui::Point clientPoint) override;

    bool HasSystemMenu() const override { return Description().systemMenu; }
    void AppendSystemMenuItem(const zui::MenuItem& item) override;
    // While open, runs the calls posted meanwhile, as a menu's loop does; then takes the next of the
    // platform's menuPicks, unless the menu was closed meanwhile. The chosen command is posted to the
    // window's thread.
    void TrackPopupMenu(std::span<const zui::MenuItem> items, zui::Point screenPoint) override;
    // Fails when the platform has no notification area, as Shell_NotifyIcon does without a taskbar.
    bool AddNotifyIcon(int iconId, const zui::Image& icon, const std::string& tip) override;
    bool DeleteNotifyIcon(int iconId) override;

    void SetControlText(int id, const std::string& text) override;
    std::string ControlText(int id) const override { return Control(id).text; }
    void MoveControl(int id, const zui::Rect& rect, bool repaint) override;
    void ResizeControl(int id, zui::Size size) override;
    zui::Rect ControlRect(int id) const override { return Control(id).rect; }
    void ShowControl(int id, bool show) override;
    void EnableControl(int id, bool enable) override;
    void SetControlImage(int id, const zui::Image& image) override;
    void SetFocusToControl(int id) override { m_focus = id; }
    int FocusedControl() const override { return m_focus; }
    void SelectControlText(int id) override { Log("select " + std::to_string(id)); }

    zui::FontId CreateLabelFont(const zui::FontSpec& wanted) override;

    void Invalidate(const zui::Rect& area, bool erase) override;
    void InvalidateControl(int id, bool erase) override;
    void UpdateWindow() override;
    void SendPaintMessage() override { Log("send paint"); }
    void PaintNow(const std::function<void(zui::PaintContext&)>& paint) override;

    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;

    // The test's side.
    const FakeControl& Control(int id) const;
    const std::string& Title() const { return m_title; }
    std::optional<int> TimerPeriod(int id) const;
    long long NowMs() const { return m_nowMs; }
    // Runs the timers that fall due, in time order, each on its own period, until the run ends.
    void AdvanceMs(int durationMs);
    // Lets time pass up to the next timer and runs it; false when no timer is set or the run has ended.
    bool RunNextTimer();
    // What the user does.
    bool PressKey(int virtualKey) { return Events().PreTranslateKey(virtualKey); }
    void Click(int id);
    // What the dialog does not take gets the window system's default: a close request, a minimise.
    void SystemCommand(unsigned code);
    int TrayNotify(int iconId, std::uint32_t mouseMessage) {
        return Events().OnTrayNotify(iconId, mouseMessage);
    }
    // A left press at a client point: a visible button or edit there takes it; elsewhere it is the dialog's.
    void LeftPress(zui::Point at);
    const std::vector<FakeMenuItem>& SystemMenu() const { return m_systemMenu; }
    void ChooseSystemMenuItem(std::size_t index) { SystemCommand(m_systemMenu.at(index).commandId); }
    const std::vector<TrackedMenu>& Menus() const { return m_menus; }
    const std::map<int, FakeNotifyIcon>& NotifyIcons() const;
    bool DeviceChange(unsigned eventType) { return Events().OnDeviceChange(eventType); }
    // A paint request over the whole client area, through a recording context.
    std::vector<PaintOperation> Paint();
    zui::CtlColor CtlColorOf(int id) { return Events().OnCtlColor(id); }
    const std::vector<zui::FontSpec>& Fonts() const { return m_fonts; }
    // What PaintNow drew.
    const std::vector<PaintOperation>& DirectPaints() const { return m_directPaints; }
    const std::vector<std::string>& CallLog() const { return m_log; }
    void ClearLog() { m_log.clear(); }
    // Calls naming a control the description does not have.
    int UnknownControlCalls() const { return m_unknownControlCalls; }

private:
    struct Timer {
        int periodMs;
        long long dueMs;
    };

    FakeControl* Find(int id);
    void Log(std::string entry) { m_log.push_back(std::move(entry)); }

    FakeUiPlatform& m_platform;
    std::map<int, FakeControl> m_controls;
    std::string m_title;
    zui::Rect m_windowRect;
    bool m_visible = false;
    bool m_minimized = false;
    int m_focus = zui::kNoControlId;
    std::vector<zui::Rect> m_invalid;
    std::vector<zui::FontSpec> m_fonts;
    std::vector<PaintOperation> m_directPaints;
    std::map<int, Timer> m_timers;
    long long m_nowMs = 0;
    std::vector<std::string> m_log;
    int m_unknownControlCalls = 0;
    std::vector<FakeMenuItem> m_systemMenu;
    std::vector<TrackedMenu> m_menus;
    // Shared with the calls posted on the window's behalf, which outlive it.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

class FakeUiPlatform final : public zui::UiPlatform {
public:
    zui::Size PrimaryScreenSize() const override { return screen; }
    zui::Size SystemIconSize() const override { return {32, 32}; }
    bool SystemTrayAvailable() const override { return trayAvailable; }
    zui::Point CursorPosition() const override { return cursor; }
    // A box's own loop runs the calls posted meanwhile, then answers; a box closed meanwhile answers
    // kIdCancel.
    int ShowMessageBox(const std::string& text, const std::string& caption, zui::MessageBoxButtons buttons,
                       zui::MessageBoxIcon icon, zui::DialogHost* owner) override;
    // The pixels of the fake decoder are a hash of the bytes, so images of different resources differ.
    zui::Image DecodeImage(std::span<const std::uint8_t> bytes) override;
    zui::Image LoadImageFile(const std::string& path) override;
    SyncCallQueue::Poster WindowThreadPoster() override;

    // Settings of the fake display.
    zui::Size screen{1366, 768};
    // The window frame around the client area (left, top, right, bottom), as a Win32 frame would take.
    zui::Rect frame{0, 0, 0, 0};
    std::optional<int> dpiX = 96;
    bool trayAvailable = true;
    zui::Point cursor{1300, 740};
    // What the user picks in the coming popup menus, in order: an item's index, or -1 for a click elsewhere;
    // a menu with no pick left closes without a command.
    std::deque<int> menuPicks;
    // Runs when a window deletes a notification-area icon.
    std::function<void()> onNotifyIconDeleted;
    // The desktop's notification area, which outlives the windows that put icons there.
    const std::map<int, FakeNotifyIcon>& NotifyIcons() const { return m_notifyArea; }
    // The next modal run fails to create its window.
    bool failNextDialogCreation = false;
    // Embedded fonts (by resource ID) whose registration fails.
    std::set<int> failingFonts;

    // The life of the next modal run, between its OnInitDialog and its OnDestroy; a run without one ends at
    // once.
    void ScriptNextRun(std::function<void(FakeDialogHost&)> script) {
        m_scripts.push_back(std::move(script));
    }
    // The life of every run that has no script of its own.
    std::function<void(FakeDialogHost&)> defaultScript;
    // Answers of the coming boxes, in order; zui::kIdOk when none is left. onBox runs while a box is open.
    std::deque<int> boxAnswers;
    std::function<void(const RecordedBox&)> onBox;
    const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
    // The family name the fake gives an embedded font.
    static std::string FamilyOfFont(int resourceId) { return "Fake Family " + std::to_string(resourceId); }
    int FileLoads() const { return m_fileLoads; }
    // The embedded bitmap whose decoded image this is, or 0.
    int BitmapIdOf(const zui::Image& image);

    // Runs the calls posted onto the window's thread until done() holds; false when limit passed first.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Runs the calls posted so far.
    void RunPostedCalls();

    // The next run's script, else the default one.
    std::function<void(FakeDialogHost&)> TakeScript();

protected:
    std::unique_ptr<zui::DialogWindow> MakeDialogWindow(const zui::DialogDescription& description,
                                                        zui::DialogEvents& events,
                                                        zui::DialogWindow* owner) override;
    std::optional<std::string> AddPrivateFont(std::span<const std::uint8_t> bytes) override;
    void CloseMenusAndBoxes() override;

private:
    std::vector<std::function<void()>> TakePosted();
    // The loop of a menu or a box: the posted calls, then meanwhile (the user's part); true when
    // CloseMenusAndBoxes closed it.
    bool RunMenuOrBoxLoop(const std::function<void()>& meanwhile);

    std::deque<std::function<void(FakeDialogHost&)>> m_scripts;
    friend class FakeDialogHost;
    std::vector<RecordedBox> m_boxes;
    std::map<int, FakeNotifyIcon> m_notifyArea;
    int m_fileLoads = 0;
    std::map<int, zui::Image> m_bitmaps;
    int m_openMenusAndBoxes = 0;
    bool m_closingMenusAndBoxes = false;

    struct PostQueue {
        std::mutex mutex;
        std::condition_variable posted;
        std::deque<std::function<void()>> calls;
    };
    std::shared_ptr<PostQueue> m_posted = std::make_shared<PostQueue>();
};
