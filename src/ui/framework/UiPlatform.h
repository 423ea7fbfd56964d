#pragma once

#include "common/SyncCallQueue.h"
#include "ui/framework/DialogCodes.h"
#include "ui/framework/DialogDescription.h"
#include "ui/framework/Image.h"
#include "ui/framework/Types.h"

#include <cstdint>
#include <span>
#include <string>

namespace zui {

class DialogEvents;
class DialogHost;

// The window system as a whole, for one process: screen, message boxes, image decoding, private fonts and
// modal dialog runs. All calls are made on the window's thread, except the poster's.
class UiPlatform {
public:
    virtual ~UiPlatform() = default;

    // The primary screen in pixels (SM_CXSCREEN, SM_CYSCREEN).
    virtual Size PrimaryScreenSize() const = 0;
    // The size the window system draws a window's icon at (SM_CXICON, SM_CYICON).
    virtual Size SystemIconSize() const = 0;
    // Whether the desktop has a notification area to put an icon in.
    virtual bool SystemTrayAvailable() const = 0;
    // The mouse cursor in screen pixels (GetCursorPos).
    virtual Point CursorPosition() const = 0;

    // Modal; returns kIdOk or kIdCancel. owner may be null (a box of the application alone).
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                               MessageBoxIcon icon, DialogHost* owner) = 0;

    // BMP or PNG bytes; an empty image when they cannot be decoded.
    virtual Image DecodeImage(std::span<const std::uint8_t> bytes) = 0;
    // An image file through the platform's decoder; an empty image when it is missing or unreadable.
    virtual Image LoadImageFile(const std::string& path) = 0;

    // Registers font bytes for this process only, and makes faceName name the font they hold, whatever the
    // font calls itself. False when the bytes hold no usable font.
    virtual bool RegisterPrivateFont(std::span<const std::uint8_t> bytes, const std::string& faceName) = 0;

    // Creates the dialog from the template and runs it modally; returns the EndDialog result, or -1 when
    // the window could not be created.
    virtual int RunModalDialog(const DialogDescription& description, DialogEvents& events,
                               DialogHost* owner) = 0;

    // Queues a function onto the window's thread; callable from any thread.
    virtual SyncCallQueue::Poster WindowThreadPoster() = 0;
};

} // namespace zui
