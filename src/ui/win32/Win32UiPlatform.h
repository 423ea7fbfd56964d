#pragma once

#include "ui/framework/UiPlatform.h"

#include <windows.h>

#include <memory>

// The dialog framework on Win32 (USER, GDI, the shell's notification area, WIC for images). Lives on the
// window's thread; its posted calls travel through a message-only window of its own, so that every message
// loop of the thread, a message box's and a menu's included, runs them.
class Win32UiPlatform final : public zui::UiPlatform {
public:
    Win32UiPlatform();
    ~Win32UiPlatform() override;

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
    struct PostedCalls;
    static LRESULT CALLBACK PostedCallsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::shared_ptr<PostedCalls> m_posted;
};
