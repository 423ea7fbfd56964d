#pragma once

#include "ui/framework/UiPlatform.h"
#include "ui/qt/QtFonts.h"

#include <QObject>

#include <vector>

class QtDialogWindow;

// The dialog framework on Qt 6 Widgets. Needs a QApplication for its whole life, which must not quit when
// its last window closes: the main window is hidden, not closed, while the program lives on.
class QtUiPlatform final : public zui::UiPlatform {
public:
    QtUiPlatform() = default;
    QtUiPlatform(const QtUiPlatform&) = delete;
    QtUiPlatform& operator=(const QtUiPlatform&) = delete;

    zui::Size PrimaryScreenSize() const override;
    zui::Size SystemIconSize() const override;
    bool SystemTrayAvailable() const override;
    zui::Point CursorPosition() const override;
    int ShowMessageBox(const std::string& text, const std::string& caption, zui::MessageBoxButtons buttons,
                       zui::MessageBoxIcon icon, zui::DialogHost* owner) override;
    zui::Image DecodeImage(std::span<const std::uint8_t> bytes) override;
    zui::Image LoadImageFile(const std::string& path) override;
    bool RegisterPrivateFont(std::span<const std::uint8_t> bytes, const std::string& faceName) override;
    int RunModalDialog(const zui::DialogDescription& description, zui::DialogEvents& events,
                       zui::DialogHost* owner) override;
    SyncCallQueue::Poster WindowThreadPoster() override;

    QtFonts& Fonts() { return m_fonts; }
    // A device-change notice for every open dialog, as WM_DEVICECHANGE goes to every top-level window.
    void BroadcastDeviceChange(unsigned eventType);
    // The cancel command for the first dialog run, the main window: how a request to end the program from
    // outside (a termination signal, the session's end) takes the same way as the tray menu's exit.
    void CancelMainDialog();
    // Ends every run above this one, innermost first.
    void EndRunsAbove(const QtDialogWindow& window);

private:
    QObject m_context; // owns the calls posted onto the window's thread
    QtFonts m_fonts;
    std::vector<QtDialogWindow*> m_runs; // the running dialogs, outermost first
};
