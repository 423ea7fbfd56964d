#pragma once

#include "common/SyncCallQueue.h"
#include "ui/framework/DialogCodes.h"
#include "ui/framework/DialogDescription.h"
#include "ui/framework/Image.h"
#include "ui/framework/Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zui {

class DialogEvents;
class DialogHost;
class DialogWindow;

// The window system as a whole, for one process: screen, message boxes, image decoding, private fonts and
// modal dialog runs. A backend supplies the window system's side; the order of a modal run, the stack of
// open runs and the face names of private fonts are the framework's, the same on every backend. All calls
// are made on the window's thread, except the poster's.
class UiPlatform {
public:
    UiPlatform() = default;
    virtual ~UiPlatform() = default;
    UiPlatform(const UiPlatform&) = delete;
    UiPlatform& operator=(const UiPlatform&) = delete;

    // The primary screen in pixels (SM_CXSCREEN, SM_CYSCREEN).
    virtual Size PrimaryScreenSize() const = 0;
    // The size the window system draws a window's icon at (SM_CXICON, SM_CYICON).
    virtual Size SystemIconSize() const = 0;
    // Whether the desktop has a notification area to put an icon in.
    virtual bool SystemTrayAvailable() const = 0;
    // The mouse cursor in screen pixels (GetCursorPos).
    virtual Point CursorPosition() const = 0;

    // Modal; returns kIdOk or kIdCancel. owner may be null (a box of the application alone). Ending the
    // owner's run closes the box.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                               MessageBoxIcon icon, DialogHost* owner) = 0;

    // BMP, PNG or ICO bytes; an empty image when they cannot be decoded.
    virtual Image DecodeImage(std::span<const std::uint8_t> bytes) = 0;
    // An image file through the platform's decoder; an empty image when it is missing or unreadable.
    virtual Image LoadImageFile(const std::string& path) = 0;

    // Queues a function onto the window's thread; callable from any thread. The call runs in whatever loop
    // the window's thread is in then, a message box's or a popup menu's included, since the reading thread
    // waits for it.
    virtual SyncCallQueue::Poster WindowThreadPoster() = 0;

    // Registers font bytes for this process only and lets faceName stand for the family they hold, whatever
    // it is called; the same bytes are registered once and may take several names. False when the bytes
    // hold no usable font.
    bool RegisterPrivateFont(std::span<const std::uint8_t> bytes, const std::string& faceName);
    // The family a face name stands for: a private font registered under it, else the name itself.
    std::string ResolveFace(const std::string& faceName) const;

    // Creates the dialog from the description and runs it modally; returns the EndDialog result, or
    // kDialogCreationFailed when the window could not be created.
    int RunModalDialog(const DialogDescription& description, DialogEvents& events, DialogHost* owner);
    // Ends the run of window and, first, every run above it, innermost first (a nested run ends with
    // kIdCancel).
    void EndModalRun(DialogWindow& window, int result);
    // A device-change notice for every open dialog, as WM_DEVICECHANGE goes to every top-level window.
    void BroadcastDeviceChange(unsigned eventType);
    // The session's end for every open dialog, as WM_ENDSESSION goes to every top-level window.
    void BroadcastEndSession();
    // How a request to end the program from outside (a termination signal) takes the same way as the tray
    // menu's exit: the open popup menu and every message box close, those of no window too, since their
    // loops would keep the thread; then the first dialog run, the main window, gets the cancel command.
    // Without a run, as while a second copy says it is not the first, closing the boxes ends the program.
    void CancelMainDialog();

protected:
    // A window for the description, not yet created; owner is the run it is modal to, or null.
    virtual std::unique_ptr<DialogWindow> MakeDialogWindow(const DialogDescription& description,
                                                           DialogEvents& events, DialogWindow* owner) = 0;
    // Registers font bytes for this process only; the family name the font really has, or nullopt.
    virtual std::optional<std::string> AddPrivateFont(std::span<const std::uint8_t> bytes) = 0;
    // Closes the open popup menu and every open message box of the process; their loops return once the
    // caller has returned to them, a box with kIdCancel.
    virtual void CloseMenusAndBoxes() = 0;

private:
    DialogWindow* RunOf(const DialogHost* host) const;

    std::vector<DialogWindow*> m_runs;                         // outermost first
    std::map<const std::uint8_t*, std::string> m_fontFamilies; // by the registered bytes
    std::map<std::string, std::string> m_faceFamilies;
};

} // namespace zui
