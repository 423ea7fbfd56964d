#pragma once

#include "ui/SetSpeedDialogView.h"

// The fan-speed dialog (template 154) without its window. The owner constructs it and hands it to the host
// that runs template 154 modally; the host calls OnInitDialog once the controls exist, OnOkClicked for the OK
// button and Enter, OnCancelClicked for the Cancel button and Esc, each with itself as the view. After the
// run the owner reads m_confirmed and m_acceptedSpeed.
class CCDlgSetSpeed {
public:
    static constexpr int kSpeedEditId = 1065;
    static constexpr int kMinSpeed = 0;
    static constexpr int kMaxSpeed = 2200;

    // The data exchange towards the controls: the edit shows m_editValue.
    void OnInitDialog(SetSpeedDialogView& view);
    void OnOkClicked(SetSpeedDialogView& view);
    void OnCancelClicked(SetSpeedDialogView& view);

    // Edit 1065 <-> m_editValue. From the controls the text must be one integer in 0..2200; otherwise the
    // validation box is shown, the focus goes back into the edit with its text selected, and false returns.
    bool DoDataExchange(SetSpeedDialogView& view, bool saveAndValidate);

    int m_confirmed = 0;
    int m_acceptedSpeed = 0;
    int m_editValue = 0;

private:
    // The dialog's standard OK: exchange from the controls, and end with IDOK only when that succeeded.
    void OnOk(SetSpeedDialogView& view);
};
