#pragma once

#include "common/Event.h"
#include "common/Sleeper.h"
#include "common/SyncCallQueue.h"
#include "device/CCUsbHid.h"
#include "device/HidPlatform.h"
#include "protocol/CCDataProcessing.h"
#include "protocol/PollCycle.h"
#include "protocol/ReadingDisplay.h"
#include "protocol/ReadingFlags.h"
#include "protocol/ReadingPipeline.h"
#include "protocol/ReadingThread.h"
#include "settings/Autostart.h"
#include "settings/ModeSettings.h"
#include "settings/SettingsPlatform.h"
#include "ui/EmbeddedImages.h"
#include "ui/WindowThreadDisplay.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ImageFileCache.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <string>

struct WindowTimings {
    int pollPeriodMs = 5000; // timer 1
    ReadingTimings reading;
};

// The main window: its members, start-up, connected and disconnected looks, timers, device changes,
// closing and destruction (this file and CZephyrineDlg.cpp), its skin, fonts, layout and painting
// (CZephyrineDlgSkin.cpp), its tray icon, menus and dragging (CZephyrineDlgTray.cpp) and its command
// buttons (CZephyrineDlgCommands.cpp). Everything runs on the window's thread except the reading thread,
// which reaches the window only through the ReadingDisplay operations.
class CZephyrineDlg final : public zui::DialogBase, private ReadingDisplay {
public:
    enum TimerId : int { PollTimer = 1, ModeLookTimer = 2, PlacementTimer = 3 };

    static constexpr const char* kConnectedTitle = "Lumenvale（设备已连接）";
    static constexpr const char* kDisconnectedTitle = "Lumenvale（设备已断开）";
    static constexpr const char* kThreadErrorText = "数据处理线程错误，请重新启动应用程序";
    static constexpr const char* kFontErrorText = "字体加载失败！";
    static constexpr const char* kLogoFile = "logo.png";
    static constexpr zui::Point kLogoPosition{80, 20};
    static constexpr std::uint32_t kVendorId = 1240; // 0x04D8
    static constexpr const char* kAutoRunName = "Zephyrine";

    CZephyrineDlg(zui::ApplicationBase& app, HidPlatform& hidPlatform, Sleeper& sleeper,
                  SettingsPlatform& settings, Autostart& autostart, WindowTimings timings = {});
    ~CZephyrineDlg() override;

    bool OnInitDialog() override;
    bool PreTranslateKey(int virtualKey) override;
    void OnTimer(int timerId) override;
    bool OnDeviceChange(unsigned eventType) override;
    void OnEndSession() override;
    void OnSize() override;
    void OnPaint(zui::PaintContext& dc) override;
    zui::CtlColor OnCtlColor(int controlId) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnCommand(int commandId) override;
    bool OnSystemCommand(unsigned code) override;
    void OnLeftButtonDown(zui::Point point) override;
    int OnTrayNotify(int iconId, std::uint32_t mouseMessage) override;

    void AddAboutToSystemMenu();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayShowWindow();

    void OnEcoModeButton();
    void OnTempControlButton();
    void OnClearEnergyButton();
    void OnSetSpeedButton();

    void ShowConnectedLook();
    void ShowDisconnectedLook();
    void InitScreenMetrics();
    void InitFontsAndCaptions();
    void LayoutControls();
    void ApplyModeLook();
    void SetButtonImage(zui::BitmapButton& button, int bitmapId);
    // c = trunc(c x alpha / 255) for each colour byte of an image with an alpha channel; others unchanged.
    static void PremultiplyAlpha(zui::Image& image);

    // The ReadingDisplay operations as the window's thread carries them out.
    void SetLabelText(int controlId, const std::string& text) override;
    void RefreshLabelArea(int controlId) override;
    void ShowWarning(const std::string& text) override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    // The device search of start-up and of every device change, and the look it leads to.
    void SearchForSupply();
    void OpenTrayMenu();
    // Written at once, so that the mode outlives a process ended without the window's destruction (the
    // session's end on Windows, a lost X connection, which makes Qt exit).
    void SaveModeIfChanged(std::int32_t before);
    // The reading thread must be gone before the members it uses; its waits on the window are released first.
    void StopWorkers();

    Autostart& m_autostart;
    EmbeddedImages m_images;
    // "logo.png" of the current directory, premultiplied once per change of the file.
    zui::ImageFileCache m_logoFile;
    const WindowTimings m_timings;

public:
    // The window's fields, in the order they are built; destroyed in reverse.
    std::atomic<std::int32_t> DeviceConnected{0};
    ::ReadingFlags ReadingFlags;
    zui::Rect ClientRect;
    std::int32_t DpiX = 0;
    const zui::Image MainIcon;
    ModeSettings Settings;
    PollCycle Poll; // ControlMode, PollState, RequestedFanSpeed, FrameBuffer
    Event PollEvent{Event::ResetMode::Automatic};
    CCUsbHid HidChannel;
    CCDataProcessing DataProcessor;
    std::map<int, zui::FontId> LabelFonts;
    zui::BitmapButton EcoButton;
    zui::BitmapButton TempControlButton;
    zui::BitmapButton SetSpeedButton;
    zui::BitmapButton ClearEnergyButton;

private:
    SyncCallQueue m_windowCalls;
    WindowThreadDisplay m_threadDisplay;
    ReadingPipeline m_pipeline;
    ReadingThread m_readingThread;
};
