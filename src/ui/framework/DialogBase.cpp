#include "ui/framework/DialogBase.h"

#include <algorithm>

namespace zui {

int DialogBase::DoModal(DialogHost* owner) {
    return m_app.Ui().RunModalDialog(m_description, *this, owner);
}

void DialogBase::EndDialog(int result) {
    if (m_host != nullptr) {
        m_host->EndDialog(result);
    }
}

int DialogBase::ShowMessageBox(const std::string& text, MessageBoxButtons buttons, MessageBoxIcon icon) {
    return m_app.Ui().ShowMessageBox(text, m_app.Title(), buttons, icon, m_host);
}

bool DialogBase::UpdateData(bool saveAndValidate) {
    return DoDataExchange(saveAndValidate);
}

bool DialogBase::OnInitDialog() {
    UpdateData(false);
    return true;
}

bool DialogBase::PreTranslateKey(int virtualKey) {
    if (virtualKey == KeyEscape) {
        OnCommand(kIdCancel);
        return true;
    }
    if (virtualKey == KeyReturn) {
        OnCommand(DefaultCommandId());
        return true;
    }
    return false;
}

void DialogBase::OnCommand(int commandId) {
    if (commandId == kIdOk) {
        OnOK();
    } else if (commandId == kIdCancel) {
        OnCancel();
    }
}

void DialogBase::OnOK() {
    if (UpdateData(true)) {
        EndDialog(kIdOk);
    }
}

int DialogBase::DefaultCommandId() const {
    const auto& controls = m_description.controls;
    const auto isPushButton = [](const ControlDescription& c) { return c.kind == ControlKind::PushButton; };
    if (m_host != nullptr) {
        const int focused = m_host->FocusedControl();
        const auto it = std::ranges::find_if(
            controls, [&](const ControlDescription& c) { return c.id == focused && isPushButton(c); });
        if (it != controls.end()) {
            return it->id;
        }
    }
    const auto it = std::ranges::find_if(
        controls, [&](const ControlDescription& c) { return c.defaultButton && isPushButton(c); });
    return it != controls.end() ? it->id : kIdOk;
}

} // namespace zui
