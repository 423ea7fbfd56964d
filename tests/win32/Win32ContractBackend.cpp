#include "ui/contract/DialogContract.h"

#include "ui/win32/Win32DialogWindow.h"
#include "ui/win32/Win32UiPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

// Real dialogs and message boxes of this process, under Wine on Linux.
class Win32ContractBackend final : public ContractBackend {
public:
    zui::UiPlatform& Ui() override { return m_ui; }
    // As Windows ends a session: every top-level window is asked, then told.
    void EndSession() override {
        std::vector<HWND> dialogs;
        EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND dialog : dialogs) {
            EXPECT_NE(SendMessageW(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
        }
        for (HWND dialog : dialogs) {
            SendMessageW(dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        }
    }

private:
    static BOOL CALLBACK CollectDialog(HWND window, LPARAM dialogs) {
        if (Win32DialogWindow::IsDialogOfOurs(window)) {
            reinterpret_cast<std::vector<HWND>*>(dialogs)->push_back(window);
        }
        return TRUE;
    }

    Win32UiPlatform m_ui;
};

} // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
    return std::make_unique<Win32ContractBackend>();
}
