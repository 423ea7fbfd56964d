#pragma once

#include <functional>
#include <string_view>

class CCDlgSetSpeed;
class PollCycle;

// The main window's button handlers as far as they do not need the window. Buttons 1063 and 1064 are
// PollCycle::SelectEco and PollCycle::SelectTempControl as they stand.

// OnClearEnergyButton: a box with this text and caption, OK and Cancel buttons and no icon.
inline constexpr std::string_view kClearEnergyText = "是否确认清除电源消耗电能?\r\n电量将从零开始。";
inline constexpr std::string_view kClearEnergyCaption = "警告";
// The box's answer (zui::kIdOk, zui::kIdCancel, or whatever a closed box gives): only OK requests the
// clearing.
void OnClearEnergyAnswered(PollCycle& poll, int answer);

// OnSetSpeedButton: shown in an OK box with the application's caption when the dialog cannot be created.
inline constexpr std::string_view kSetSpeedDialogFailedText = "程序异常!请重新设置";
// runModal runs template 154 modally on the dialog it is given and returns the modal result (zui::kIdOk,
// zui::kIdCancel, or zui::kDialogCreationFailed); showError shows the failure box. A confirmed speed goes to
// the poll.
void RunSetSpeedDialog(PollCycle& poll, const std::function<int(CCDlgSetSpeed&)>& runModal,
                       const std::function<void(std::string_view)>& showError);
