#include "ui/CommandButtons.h"

#include "protocol/PollCycle.h"
#include "ui/CCDlgSetSpeed.h"
#include "ui/DialogTemplates.h"

void OnClearEnergyAnswered(PollCycle& poll, int answer) {
    if (answer == kIdOk) {
        poll.RequestClearEnergy();
    }
}

void RunSetSpeedDialog(PollCycle& poll, const std::function<int(CCDlgSetSpeed&)>& runModal,
                       const std::function<void(std::string_view)>& showError) {
    CCDlgSetSpeed dialog;
    if (runModal(dialog) == kDialogCreationFailed) {
        showError(kSetSpeedDialogFailedText);
        return;
    }
    // The modal result is not looked at: a dialog ended by Cancel always has m_confirmed 0.
    if (dialog.m_confirmed == 1) {
        poll.RequestFanSpeed(dialog.m_acceptedSpeed);
    }
}
