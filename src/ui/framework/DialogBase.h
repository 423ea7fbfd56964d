#pragma once

#include "ui/framework/ApplicationBase.h"
#include "ui/framework/DialogCodes.h"
#include "ui/framework/DialogDescription.h"
#include "ui/framework/DialogEvents.h"
#include "ui/framework/DialogHost.h"

#include <string>

namespace zui {

// The base of every dialog: the framework's default answer to each message (what CDialog and DefDlgProc
// do), the modal run and data exchange. A dialog overrides the handlers it needs and calls the base for
// the rest.
class DialogBase : public DialogEvents {
public:
    DialogBase(ApplicationBase& app, const DialogDescription& description)
        : m_app(app), m_description(description) {}
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Returns the EndDialog result, or -1 when the window could not be created.
    int DoModal(DialogHost* owner = nullptr);
    void EndDialog(int result);

    bool HasWindow() const { return m_host != nullptr; }
    // Only while the window exists.
    DialogHost& Host() const { return *m_host; }
    ApplicationBase& App() const { return m_app; }
    const DialogDescription& Description() const { return m_description; }

    // A box captioned with the application's title and owned by this dialog's window.
    int ShowMessageBox(const std::string& text, MessageBoxButtons buttons, MessageBoxIcon icon);
    // DoDataExchange in one direction; false when a value did not pass validation.
    bool UpdateData(bool saveAndValidate = true);

    void AttachHost(DialogHost* host) override { m_host = host; }
    int OnCreate() override { return 0; }
    bool OnInitDialog() override;
    // The dialog manager: Escape is the cancel command, Return the default button's command.
    bool PreTranslateKey(int virtualKey) override;
    void OnCommand(int commandId) override;
    bool OnSystemCommand(unsigned) override { return false; }
    void OnTimer(int) override {}
    bool OnDeviceChange(unsigned) override { return true; }
    void OnEndSession() override {}
    void OnSize() override {}
    void OnPaint(PaintContext&) override {}
    CtlColor OnCtlColor(int) override { return {}; }
    // A close request is the cancel command.
    void OnClose() override { OnCommand(kIdCancel); }
    void OnDestroy() override {}
    void OnLeftButtonDown(Point) override {}
    // What the window procedure answers to a message nobody handles.
    int OnTrayNotify(int, std::uint32_t) override { return 0; }

protected:
    virtual bool DoDataExchange(bool /*saveAndValidate*/) { return true; }
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(kIdCancel); }
    // The focused push button, else the template's default button, else kIdOk (DM_GETDEFID).
    int DefaultCommandId() const;

private:
    ApplicationBase& m_app;
    const DialogDescription& m_description;
    DialogHost* m_host = nullptr;
};

// A control bound to a dialog member by data exchange (DDX_Control); an image button here.
class BitmapButton {
public:
    void Attach(int controlId) { m_controlId = controlId; }
    bool IsAttached() const { return m_controlId != 0; }
    int ControlId() const { return m_controlId; }
    // The bitmap resource the button was last given; 0 before the first.
    int BitmapId() const { return m_bitmapId; }
    void SetBitmapId(int bitmapId) { m_bitmapId = bitmapId; }

private:
    int m_controlId = 0;
    int m_bitmapId = 0;
};

} // namespace zui
