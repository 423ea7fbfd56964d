#pragma once

#include "ui/framework/UiPlatform.h"

#include <QObject>

class QtDialogWindow;

// The dialog framework on Qt 6 Widgets. Needs a QApplication for its whole life, which must not quit when
// its last window closes: the main window is hidden, not closed, while the program lives on.
class QtUiPlatform final : public zui::UiPlatform {
public:
    // The session manager's request to save (commitDataRequest) and the application's end (aboutToQuit)
    // reach the dialogs as the session's end.
    QtUiPlatform();

    zui::Size PrimaryScreenSize() const override;
    zui::Size SystemIconSize() const override;
    bool SystemTrayAvailable() const override;
    zui::Point CursorPosition() const override;
    int ShowMessageBox(const std::string& text, const std::string& caption, zui::MessageBoxButtons buttons,
                       zui::MessageBoxIcon icon, zui::DialogHost* owner) override;
    zui::Image DecodeImage(std::span<const std::uint8_t> bytes) override;
    zui::Image LoadImageFile(const std::string& path) override;
    SyncCallQueue::Poster WindowThreadPoster() override;

protected:
    std::unique_ptr<zui::DialogWindow> MakeDialogWindow(const zui::DialogDescription& description,
                                                        zui::DialogEvents& events,
                                                        zui::DialogWindow* owner) override;
    std::optional<std::string> AddPrivateFont(std::span<const std::uint8_t> bytes) override;
    void CloseMenusAndBoxes() override;

private:
    QObject m_context; // owns the calls posted onto the window's thread and the session's connections
};
