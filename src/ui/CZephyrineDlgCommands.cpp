#include "ui/CZephyrineDlg.h"

#include "ui/CCDlgSetSpeed.h"
#include "ui/CommandButtons.h"
#include "ui/ControlTable.h"
#include "ui/SetSpeedDialogWindow.h"
#include "ui/TrayMenu.h"

#include <cstdint>
#include <string>
#include <string_view>

// The main window's commands: the four buttons and the tray menu's first item. None of the buttons talks to
// the supply; each leaves its request in the poll cycle, which the next poll tick sends.

void CZephyrineDlg::OnCommand(int commandId) {
    switch (commandId) {
    case kTrayShowWindowCommand:
        OnTrayShowWindow();
        break;
    case IdEcoButton:
        OnEcoModeButton();
        break;
    case IdTempControlButton:
        OnTempControlButton();
        break;
    case IdClearEnergyButton:
        OnClearEnergyButton();
        break;
    case IdSetSpeedButton:
        OnSetSpeedButton();
        break;
    default:
        // Among them the cancel command of the tray menu's exit, which ends the run.
        zui::DialogBase::OnCommand(commandId);
        break;
    }
}

void CZephyrineDlg::OnEcoModeButton() {
    const std::int32_t before = Poll.ControlMode;
    Poll.SelectEco();
    SaveModeIfChanged(before);
}

void CZephyrineDlg::OnTempControlButton() {
    const std::int32_t before = Poll.ControlMode;
    Poll.SelectTempControl();
    SaveModeIfChanged(before);
}

void CZephyrineDlg::SaveModeIfChanged(std::int32_t before) {
    if (Poll.ControlMode != before) {
        Settings.SaveConfig(Poll);
    }
}

void CZephyrineDlg::OnClearEnergyButton() {
    const int answer =
        App().Ui().ShowMessageBox(std::string(kClearEnergyText), std::string(kClearEnergyCaption),
                                  zui::MessageBoxButtons::OkCancel, zui::MessageBoxIcon::None, &Host());
    OnClearEnergyAnswered(Poll, answer);
}

void CZephyrineDlg::OnSetSpeedButton() {
    RunSetSpeedDialog(
        Poll,
        [this](CCDlgSetSpeed& dialog) {
            SetSpeedDialogWindow window(App(), dialog);
            return window.DoModal(&Host());
        },
        [this](std::string_view text) {
            ShowMessageBox(std::string(text), zui::MessageBoxButtons::Ok, zui::MessageBoxIcon::None);
        });
}
