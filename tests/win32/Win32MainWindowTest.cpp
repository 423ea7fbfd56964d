// The main window on the Win32 backend, in this process, on the virtual supply: the real dialog manager,
// statics, owner-drawn buttons, fonts and device-change messages.
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "support/MainWindowWorld.h"
#include "support/RecordingAutostart.h"
#include "support/RecordingSleeper.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "ui/CZephyrineDlg.h"
#include "ui/ControlTable.h"
#include "ui/DialogFonts.h"
#include "ui/Geometry.h"
#include "ui/win32/Win32UiPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace {

// Runs the thread's messages until done() holds or five seconds have passed.
bool PumpUntil(const std::function<bool()>& done) {
    for (int waited = 0; waited < 5000 && !done(); waited += 10) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return done();
}

std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

class Win32MainWindow : public testing::Test, protected MainWindowWorld<Win32UiPlatform> {
protected:
    using Script = std::function<void(HWND window, CZephyrineDlg& dlg)>;

    Win32MainWindow() {
        hid.AddSupply();
        UseCaptionFaceForDialogs(ui);
    }

    // Runs the window; once it has been placed and has shown a poll's readings, the script runs on the
    // window's thread, and the window ends after it.
    void Run(const Script& script) {
        CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
        ui.WindowThreadPoster()([&] {
            HWND window = FindWindowW(nullptr, L"Lumenvale\xFF08\x8BBE\x5907\x5DF2\x8FDE\x63A5\xFF09");
            EXPECT_NE(window, nullptr);
            const bool ready = window != nullptr && PumpUntil([&] {
                                   RECT outer{};
                                   GetWindowRect(window, &outer);
                                   return outer.left == 350 && Text(GetDlgItem(window, 1056)) != L"000";
                               });
            EXPECT_TRUE(ready);
            if (ready) {
                script(window, dlg);
            }
            dlg.EndDialog(zui::kIdCancel);
        });
        dlg.DoModal();
    }

    // Fast polls and a reading pass right after each.
    WindowTimings timings{100, {0, 20, 0}};
};

TEST_F(Win32MainWindow, IsTheProportionalSizeAtItsPlacementWithEveryControlWhereTheLayoutPutsIt) {
    Run([&](HWND window, CZephyrineDlg&) {
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, 350);
        EXPECT_EQ(outer.top, 180);
        EXPECT_EQ(outer.right - outer.left, 810);
        EXPECT_EQ(outer.bottom - outer.top, 422);
        EXPECT_TRUE(IsWindowVisible(window));
        RECT client{};
        GetClientRect(window, &client);
        for (const ControlInfo& control : control_table::Controls()) {
            const zui::Rect expected = geometry::ScaleReferenceRect(
                control.reference, {static_cast<int>(client.right), static_cast<int>(client.bottom)});
            RECT actual{};
            GetWindowRect(GetDlgItem(window, control.id), &actual);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left) << control.id;
            EXPECT_EQ(actual.top, expected.top) << control.id;
            if (control.role != ControlRole::ImageButton) {
                EXPECT_EQ(actual.right, expected.right) << control.id;
                EXPECT_EQ(actual.bottom, expected.bottom) << control.id;
            }
        }
    });
}

TEST_F(Win32MainWindow, ShowsEveryCaptionInAFontThatHasItsCharacters) {
    Run([&](HWND window, CZephyrineDlg&) {
        HDC dc = GetDC(window);
        for (const CaptionText& caption : control_table::Captions()) {
            HWND label = GetDlgItem(window, caption.id);
            // The label's font is the one the control-colour answer gave it when it painted.
            auto* font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
            HGDIOBJ previous = SelectObject(dc, font);
            // A tab is expanded, never drawn.
            std::wstring text = Text(label);
            std::erase(text, L'\t');
            std::wstring glyphs(text.size(), L'\0');
            GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                             reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
            wchar_t face[LF_FACESIZE] = {};
            GetTextFaceW(dc, LF_FACESIZE, face);
            SelectObject(dc, previous);
            // GDI keeps the first 31 characters of a face name.
            EXPECT_EQ(std::wstring(face), L"WenQuanYi Micro Hei Zephyrine S") << caption.id;
            EXPECT_EQ(glyphs.find(L'\xFFFF'), std::wstring::npos) << caption.id;
        }
        ReleaseDC(window, dc);
    });
}

TEST_F(Win32MainWindow, ADeviceChangeMessageSearchesAgainAndShowsTheDisconnectedLook) {
    Run([&](HWND window, CZephyrineDlg& dlg) {
        hid.Unplug();
        // What Windows sends every top-level window; Wine sends none for a virtual device.
        EXPECT_EQ(SendMessageW(window, WM_DEVICECHANGE, 0x0007, 0), TRUE);
        EXPECT_EQ(Text(window), L"Lumenvale\xFF08\x8BBE\x5907\x5DF2\x65AD\x5F00\xFF09");
        EXPECT_EQ(dlg.DeviceConnected, 0);
        EXPECT_EQ(Text(GetDlgItem(window, 1066)), L"000");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1063)));
        // Another kind of notice changes nothing, and is answered all the same.
        hid.Plug();
        EXPECT_EQ(SendMessageW(window, WM_DEVICECHANGE, 0x0018, 0), TRUE);
        EXPECT_EQ(dlg.DeviceConnected, 0);
        EXPECT_EQ(SendMessageW(window, WM_DEVICECHANGE, 0x8000, 0), TRUE);
        EXPECT_EQ(dlg.DeviceConnected, 1);
    });
}

TEST_F(Win32MainWindow, EscapeEnterAndTheCloseBoxNeverEndIt) {
    Run([&](HWND window, CZephyrineDlg&) {
        SetForegroundWindow(window);
        for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
            PostMessageW(window, WM_KEYDOWN, key, 0);
        }
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(IsWindowVisible(window)); // the close box hides it
    });
}

TEST_F(Win32MainWindow, TheSystemMenusLastItemOpensTheAboutBoxUntilItsOkButton) {
    Run([&](HWND window, CZephyrineDlg&) {
        HMENU menu = GetSystemMenu(window, FALSE);
        const int last = GetMenuItemCount(menu) - 1;
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(last), text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), L"\x5173\x4E8E Zephyrine(&A)...");
        EXPECT_EQ(GetMenuItemID(menu, last), 0x0010u);
        EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(last - 1), MF_BYPOSITION) & MF_SEPARATOR);

        std::wstring shown;
        // Runs inside the About box's own loop.
        ui.WindowThreadPoster()([&] {
            HWND about = FindWindowW(nullptr, L"\x5173\x4E8E Zephyrine");
            if (about != nullptr && IsWindowVisible(about)) {
                // The icon first, then the version text.
                shown = Text(GetWindow(GetWindow(about, GW_CHILD), GW_HWNDNEXT));
                SendMessageW(about, WM_COMMAND, IDOK, 0);
            }
        });
        SendMessageW(window, WM_SYSCOMMAND, 0x0010, 0);
        EXPECT_EQ(shown, L"Zephyrine\xFF0C\x31.3 \x7248");
        EXPECT_EQ(FindWindowW(nullptr, L"\x5173\x4E8E Zephyrine"), nullptr);
        EXPECT_TRUE(IsWindowVisible(window));
    });
}

TEST_F(Win32MainWindow, ALeftClickOnTheTrayIconBringsTheHiddenWindowBack) {
    Run([&](HWND window, CZephyrineDlg&) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(window));
        // The icon's callback message: its ID and the mouse message.
        EXPECT_EQ(SendMessageW(window, WM_USER + 1, 128, WM_RBUTTONDOWN), 0);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(SendMessageW(window, WM_USER + 1, 127, WM_LBUTTONUP), 1);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(SendMessageW(window, WM_USER + 1, 128, WM_LBUTTONUP), 0);
        EXPECT_TRUE(IsWindowVisible(window));
    });
}

// What Explorer does when it restarts: its notification area starts empty and it tells every window.
TEST_F(Win32MainWindow, AddsItsTrayIconAgainWhenTheTaskbarIsCreatedAnew) {
    Run([&](HWND window, CZephyrineDlg&) {
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof(icon);
        icon.hWnd = window;
        icon.uID = 128;
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
        EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &icon));
        SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
    });
}

TEST_F(Win32MainWindow, SavesTheModeBesideTheExecutableWhenItEnds) {
    Run([&](HWND, CZephyrineDlg& dlg) { dlg.OnTempControlButton(); });
    EXPECT_EQ(settings->ReadProfileValue("SYS", "Control Mode", "",
                                         (dir.Path() / "HalcyraConfig@Ostrel.ini").string()),
              "1");
}

TEST_F(Win32MainWindow, SavesTheModeWhenAButtonChangesItAndWhenTheSessionEnds) {
    const auto saved = [&] {
        return settings->ReadProfileValue("SYS", "Control Mode", "",
                                          (dir.Path() / "HalcyraConfig@Ostrel.ini").string());
    };
    Run([&](HWND window, CZephyrineDlg& dlg) {
        HWND button = GetDlgItem(window, IdTempControlButton);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IdTempControlButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        EXPECT_EQ(saved(), "1");

        dlg.Poll.SelectEco(); // behind the buttons' back
        // The window lets the session end; an end called off saves nothing, the real one before it returns.
        EXPECT_NE(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
        SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_EQ(saved(), "1");
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_EQ(saved(), "0");
        EXPECT_TRUE(IsWindow(window));
    });
}

} // namespace
