#include "ui/CZephyrineDlg.h"

#include "ui/ControlTable.h"
#include "ui/Geometry.h"
#include "ui/ResourceIds.h"

#include <array>
#include <utility>

namespace {

// The reset texts of the disconnected look, in the order they are written.
constexpr std::array<std::pair<int, const char*>, 11> kResetTexts{{
    {LabelFanSpeed, "000"},
    {LabelRailMinus12V, "0.00"},
    {LabelRail12V, "0.00"},
    {LabelRail3V3, "0.00"},
    {LabelRail5Vsb, "0.00"},
    {LabelRail5V, "0.00"},
    {LabelInputVoltage, "000"},
    {LabelInputCurrent, "0.00"},
    {LabelInputPower, "00"},
    {LabelTemperature, "00"},
    {LabelEnergy, "0.00"},
}};

// The areas refreshed after the reset; the energy label follows on its own.
constexpr std::array kResetRefreshOrder{
    LabelFanSpeed, LabelRailMinus12V, LabelRail12V,      LabelRail3V3,    LabelRail5Vsb,
    LabelRail5V,   LabelInputCurrent, LabelInputVoltage, LabelInputPower, LabelTemperature};

} // namespace

CZephyrineDlg::CZephyrineDlg(zui::ApplicationBase& app, HidPlatform& hidPlatform, Sleeper& sleeper,
                             SettingsPlatform& settings, Autostart& autostart, WindowTimings timings)
    : zui::DialogBase(app, control_table::MainWindowDescription()), m_autostart(autostart),
      m_images(app.Ui()), m_logoFile(app.Ui(), PremultiplyAlpha), m_timings(timings),
      MainIcon(m_images.Icon(IconMain)), Settings(settings), HidChannel(hidPlatform, sleeper),
      m_windowCalls(app.Ui().WindowThreadPoster()), m_threadDisplay(m_windowCalls, *this),
      m_pipeline(DataProcessor, ReadingFlags, DeviceConnected, m_threadDisplay),
      m_readingThread(HidChannel, m_pipeline, PollEvent, timings.reading) {}

CZephyrineDlg::~CZephyrineDlg() {
    StopWorkers();
}

void CZephyrineDlg::StopWorkers() {
    m_windowCalls.Close();
    m_readingThread.Stop();
}

bool CZephyrineDlg::DoDataExchange(bool saveAndValidate) {
    zui::DialogBase::DoDataExchange(saveAndValidate);
    EcoButton.Attach(IdEcoButton);
    TempControlButton.Attach(IdTempControlButton);
    SetSpeedButton.Attach(IdSetSpeedButton);
    ClearEnergyButton.Attach(IdClearEnergyButton);
    return true;
}

bool CZephyrineDlg::OnInitDialog() {
    zui::DialogBase::OnInitDialog();
    AddAboutToSystemMenu();
    zui::DialogHost& host = Host();
    host.SetIcon(MainIcon, true);
    host.SetIcon(MainIcon, false);
    // OnSize answers with the proportional size, so the steps below see the final client area.
    host.MoveWindow({0, 0, 0, 0}, true);
    SetButtonImage(ClearEnergyButton, BitmapClearEnergyActive);
    SetButtonImage(EcoButton, BitmapEcoSelected);
    SetButtonImage(TempControlButton, BitmapTempControlSelected);
    SetButtonImage(SetSpeedButton, BitmapSetSpeed);
    InitScreenMetrics();
    Settings.LoadConfig(Poll);
    InitFontsAndCaptions();
    LayoutControls();
    if (!m_readingThread.Start()) {
        ShowMessageBox(kThreadErrorText, zui::MessageBoxButtons::Ok, zui::MessageBoxIcon::None);
    }
    SearchForSupply();
    AddTrayIcon();
    // Written again at every start, so that a program moved elsewhere is started from where it is now.
    m_autostart.SetAutoRun(m_autostart.GetModulePath(), kAutoRunName);
    host.ShowControl(IdSetSpeedButton, false);
    host.SetTimer(ModeLookTimer, 500);
    host.SetTimer(PlacementTimer, 1);
    const zui::Size size = geometry::ProportionalWindowSize(App().Ui().PrimaryScreenSize());
    host.MoveWindow(zui::Rect::FromPointSize({0, 0}, size), true);
    host.SetForeground();
    host.ShowWindow(true);
    return true;
}

bool CZephyrineDlg::PreTranslateKey(int virtualKey) {
    // Neither key may end or cancel the window.
    if (virtualKey == zui::KeyEscape || virtualKey == zui::KeyReturn) {
        return true;
    }
    return zui::DialogBase::PreTranslateKey(virtualKey);
}

void CZephyrineDlg::ShowConnectedLook() {
    zui::DialogHost& host = Host();
    host.SetTitle(kConnectedTitle);
    host.SetTimer(PollTimer, m_timings.pollPeriodMs);
    if (Poll.ControlMode == Eco) {
        SetButtonImage(TempControlButton, BitmapTempControlUnselected);
        SetButtonImage(EcoButton, BitmapEcoSelected);
    } else if (Poll.ControlMode == TempControl) {
        SetButtonImage(TempControlButton, BitmapTempControlSelected);
        SetButtonImage(EcoButton, BitmapEcoUnselected);
    }
    SetButtonImage(ClearEnergyButton, BitmapClearEnergyActive);
    for (const int id : {IdTempControlButton, IdEcoButton, IdClearEnergyButton}) {
        host.EnableControl(id, true);
    }
    for (const int id : {IdTempControlButton, IdEcoButton, IdClearEnergyButton}) {
        host.ShowControl(id, true);
    }
    host.UpdateWindow();
}

void CZephyrineDlg::ShowDisconnectedLook() {
    zui::DialogHost& host = Host();
    host.SetTitle(kDisconnectedTitle);
    for (const auto& [id, text] : kResetTexts) {
        SetLabelText(id, text);
    }
    for (const int id : kResetRefreshOrder) {
        RefreshLabelArea(id);
    }
    SetLabelText(LabelEnergy, "0.00");
    RefreshLabelArea(LabelEnergy);
    SetButtonImage(TempControlButton, BitmapTempControlUnselected);
    SetButtonImage(EcoButton, BitmapEcoUnselected);
    SetButtonImage(ClearEnergyButton, BitmapClearEnergyGreyed);
    host.KillTimer(PollTimer);
    for (const int id : {IdTempControlButton, IdEcoButton, IdClearEnergyButton}) {
        host.EnableControl(id, false);
    }
    const zui::Image& background = m_images.Bitmap(BitmapBackground);
    host.PaintNow([&](zui::PaintContext& dc) { dc.StretchImage(background, host.ClientRect()); });
}

void CZephyrineDlg::OnTimer(int timerId) {
    switch (timerId) {
    case PollTimer:
        Poll.Tick(HidChannel, PollEvent);
        break;
    case ModeLookTimer:
        ApplyModeLook();
        break;
    case PlacementTimer:
        Host().KillTimer(PlacementTimer);
        // On any screen but 1366 x 768 the size changes, and OnSize puts the window back at (0, 0).
        Host().MoveWindow(geometry::kPlacement, true);
        break;
    default:
        break;
    }
    zui::DialogBase::OnTimer(timerId);
}

bool CZephyrineDlg::OnDeviceChange(unsigned eventType) {
    if (eventType == zui::DeviceNodesChanged || eventType == zui::DeviceArrival ||
        eventType == zui::DeviceRemoveComplete) {
        SearchForSupply();
    }
    return true;
}

void CZephyrineDlg::OnEndSession() {
    // Windows may end the process right after this, without OnDestroy.
    Settings.SaveConfig(Poll);
}

void CZephyrineDlg::SearchForSupply() {
    HidChannel.OpenDevice(kVendorId);
    if (HidChannel.Disconnected() == 0) {
        DeviceConnected = 1;
        ShowConnectedLook();
    } else {
        DeviceConnected = 0;
        ShowDisconnectedLook();
    }
}

void CZephyrineDlg::OnClose() {
    // Without a notification area a hidden window could never come back, so closing ends the program then,
    // as the tray menu's exit would.
    if (App().Ui().SystemTrayAvailable()) {
        Host().ShowWindow(false);
    } else {
        EndDialog(zui::kIdCancel);
    }
}

void CZephyrineDlg::OnDestroy() {
    Settings.SaveConfig(Poll);
    RemoveTrayIcon();
    StopWorkers();
    zui::DialogBase::OnDestroy();
}

void CZephyrineDlg::SetLabelText(int controlId, const std::string& text) {
    Host().SetControlText(controlId, text);
}

void CZephyrineDlg::RefreshLabelArea(int controlId) {
    zui::DialogHost& host = Host();
    host.Invalidate(host.ControlRect(controlId), true);
    host.UpdateWindow();
}

void CZephyrineDlg::ShowWarning(const std::string& text) {
    ShowMessageBox(text, zui::MessageBoxButtons::Ok, zui::MessageBoxIcon::Exclamation);
}
