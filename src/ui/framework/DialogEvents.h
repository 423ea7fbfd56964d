#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/PaintContext.h"
#include "ui/framework/Types.h"

#include <cstdint>

namespace zui {

class DialogHost;

// How a control paints its text: transparent over the dialog, in this colour and font. The default (custom
// false) fills the control's background with the dialog's colour and uses the template font.
struct CtlColor {
    bool custom = false;
    Rgb text;
    FontId font = 0;
};

// What a backend tells a dialog's logic: the Win32 messages of a dialog, one call each, on the window's
// thread. DialogBase gives every one the dialog framework's default handling.
//
// Order of a modal run (UiPlatform::RunModalDialog): AttachHost(host), OnCreate, the controls are created,
// OnInitDialog, the window is shown when the template is visible and the run has not ended yet, messages
// until EndDialog, OnDestroy, AttachHost(nullptr).
class DialogEvents {
public:
    virtual ~DialogEvents() = default;

    virtual void AttachHost(DialogHost* host) = 0;
    // -1 ends the run before it starts (the modal call then returns -1).
    virtual int OnCreate() = 0;
    // True: the framework puts the focus on the first control with a tab stop.
    virtual bool OnInitDialog() = 0;
    // Every key press meant for the dialog or one of its controls, before anything else sees it; true
    // consumes it (PreTranslateMessage, then the dialog manager).
    virtual bool PreTranslateKey(int virtualKey) = 0;
    // Button clicks (BN_CLICKED) and menu commands.
    virtual void OnCommand(int commandId) = 0;
    // A command of the window's system menu, its close box or a minimise (WM_SYSCOMMAND). False hands it to
    // the window system's default handling, which turns a close into OnClose.
    virtual bool OnSystemCommand(unsigned code) = 0;
    virtual void OnTimer(int timerId) = 0;
    // The answer is what WM_DEVICECHANGE returns.
    virtual bool OnDeviceChange(unsigned eventType) = 0;
    // The user's session ends (log-off, shutdown; WM_ENDSESSION with wParam TRUE): the process may be ended
    // as soon as this returns, without the dialog being destroyed.
    virtual void OnEndSession() = 0;
    virtual void OnSize() = 0;
    virtual void OnPaint(PaintContext& dc) = 0;
    // Asked by a static control whenever it paints.
    virtual CtlColor OnCtlColor(int controlId) = 0;
    virtual void OnClose() = 0;
    virtual void OnDestroy() = 0;
    // A left press on the client area outside the controls that take the mouse; client coordinates.
    virtual void OnLeftButtonDown(Point point) = 0;
    // A mouse message of one of the window's notification-area icons (DialogHost::AddNotifyIcon), as the
    // Win32 callback message (WM_USER + 1, WM_TRAY_CALLBACK) carries it: the icon's ID and a MouseMessage
    // code.
    virtual int OnTrayNotify(int iconId, std::uint32_t mouseMessage) = 0;
};

} // namespace zui
