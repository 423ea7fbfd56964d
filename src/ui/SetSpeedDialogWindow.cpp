#include "ui/SetSpeedDialogWindow.h"

#include "ui/DialogTemplates.h"
#include "ui/TemplateDescription.h"

namespace {

const zui::DialogDescription& SetSpeedDescription() {
    static const zui::DialogDescription kDescription = DescribeTemplate(SetSpeedDialogTemplate());
    return kDescription;
}

} // namespace

SetSpeedDialogWindow::SetSpeedDialogWindow(zui::ApplicationBase& app, CCDlgSetSpeed& dialog)
    : zui::DialogBase(app, SetSpeedDescription()), m_dialog(dialog) {}

bool SetSpeedDialogWindow::OnInitDialog() {
    m_dialog.OnInitDialog(*this);
    return true;
}

void SetSpeedDialogWindow::OnCommand(int commandId) {
    if (commandId == kIdOk) {
        m_dialog.OnOkClicked(*this);
    } else if (commandId == kIdCancel) {
        m_dialog.OnCancelClicked(*this);
    } else {
        zui::DialogBase::OnCommand(commandId);
    }
}

std::string SetSpeedDialogWindow::GetEditText() {
    return Host().ControlText(CCDlgSetSpeed::kSpeedEditId);
}

void SetSpeedDialogWindow::SetEditText(const std::string& text) {
    Host().SetControlText(CCDlgSetSpeed::kSpeedEditId, text);
}

void SetSpeedDialogWindow::ShowMessageBox(const std::string& text, BoxIcon icon) {
    zui::DialogBase::ShowMessageBox(text, zui::MessageBoxButtons::Ok,
                                    icon == BoxIcon::Exclamation ? zui::MessageBoxIcon::Exclamation
                                                                 : zui::MessageBoxIcon::None);
}

void SetSpeedDialogWindow::FocusAndSelectEdit() {
    Host().SetFocusToControl(CCDlgSetSpeed::kSpeedEditId);
    Host().SelectControlText(CCDlgSetSpeed::kSpeedEditId);
}

void SetSpeedDialogWindow::EndDialog(int result) {
    zui::DialogBase::EndDialog(result);
}
