#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/DialogEvents.h"
#include "ui/framework/DialogHost.h"

#include <functional>

namespace zui {

class UiPlatform;

// One dialog window as a backend makes it. The framework's modal run (UiPlatform::RunModalDialog) drives it
// in one fixed order for every backend: Create, the dialog's OnInitDialog, ShowWindow, RunMessageLoop until
// the run has ended, the dialog's OnDestroy, Destroy.
class DialogWindow : public DialogHost {
public:
    DialogWindow(UiPlatform& platform, const DialogDescription& description, DialogEvents& events)
        : m_platform(platform), m_description(description), m_events(events) {}

    const DialogDescription& Description() const { return m_description; }
    DialogEvents& Events() const { return m_events; }
    UiPlatform& Platform() const { return m_platform; }
    // Whether EndDialog has ended this run, and with what result.
    bool Ended() const { return m_ended; }
    int Result() const { return m_result; }

    // Ends this run and every run above it (UiPlatform::EndModalRun).
    void EndDialog(int result) final;

    // Makes the window, hidden, and then its controls from the description; windowCreated (the dialog's
    // OnCreate) runs once the window exists and before its controls, and a false answer gives up. False when
    // no window is left afterwards.
    virtual bool Create(const std::function<bool()>& windowCreated) = 0;
    // The window system's messages, the owner disabled, until Ended(); posted calls run here too.
    virtual void RunMessageLoop() = 0;
    // Called once when the run has ended: the loop must return, and the message boxes this window owns close.
    virtual void OnRunEnded() = 0;
    // Hides and destroys the window and its controls; its timers end with it.
    virtual void Destroy() = 0;

private:
    friend class UiPlatform;

    UiPlatform& m_platform;
    const DialogDescription& m_description;
    DialogEvents& m_events;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace zui
