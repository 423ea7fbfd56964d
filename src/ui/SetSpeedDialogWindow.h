#pragma once

#include "ui/CCDlgSetSpeed.h"
#include "ui/SetSpeedDialogView.h"
#include "ui/framework/DialogBase.h"

#include <string>

// CCDlgSetSpeed on the dialog framework: template 154 as a modal window whose controls are the dialog's
// view. OK and Enter reach OnOkClicked, Cancel, Escape and a close request OnCancelClicked; the template has
// no system menu, so there is no close box. The owner reads the dialog's results after DoModal.
class SetSpeedDialogWindow final : public zui::DialogBase, private SetSpeedDialogView {
public:
    SetSpeedDialogWindow(zui::ApplicationBase& app, CCDlgSetSpeed& dialog);

    bool OnInitDialog() override;
    void OnCommand(int commandId) override;

private:
    std::string GetEditText() override;
    void SetEditText(const std::string& text) override;
    void ShowMessageBox(const std::string& text, BoxIcon icon) override;
    void FocusAndSelectEdit() override;
    void EndDialog(int result) override;

    CCDlgSetSpeed& m_dialog;
};
