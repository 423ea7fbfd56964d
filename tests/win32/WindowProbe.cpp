// Looks at a running window of the program (the main window, a dialog, a box) from outside, for the window
// stages under Wine:
//
//   zephyrine_window_probe TITLE layout          window and client rectangles, then every control that does
//   not
//                                                sit where the layout puts it on that client area
//   zephyrine_window_probe TITLE readings        the eleven reading labels' texts, one line
//   zephyrine_window_probe TITLE device-change   what WM_DEVICECHANGE answers for each event type
//   zephyrine_window_probe TITLE texts           every visible child's ID and text, one line each, a line
//                                                break in a text written as \r and \n (a box's message,
//                                                a dialog's edit)
//
// Waits up to ten seconds for a visible window of that title. Exits 1 when there is none, 3 on a layout
// mismatch.
#include "common/win32/Utf16.h"
#include "protocol/ReadingDisplay.h"
#include "ui/ControlTable.h"
#include "ui/Geometry.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND FindVisibleWindow(const std::wstring& title) {
    for (int waited = 0; waited < 10000; waited += 100) {
        HWND window = FindWindowW(nullptr, title.c_str());
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

zui::Rect ClientRectOf(HWND window, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Print(const char* label, const zui::Rect& r) {
    std::printf("%s %d %d %d %d\n", label, r.left, r.top, r.right, r.bottom);
}

int Layout(HWND window) {
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    Print("window", {outer.left, outer.top, outer.right, outer.bottom});
    std::printf("client %ld %ld\n", client.right, client.bottom);
    int mismatches = 0;
    for (const ControlInfo& control : control_table::Controls()) {
        const zui::Rect expected = geometry::ScaleReferenceRect(
            control.reference, {static_cast<int>(client.right), static_cast<int>(client.bottom)});
        const zui::Rect actual = ClientRectOf(window, GetDlgItem(window, control.id));
        // An image button takes its image's size and keeps the layout's top-left corner.
        const bool matches = control.role == ControlRole::ImageButton ? actual.TopLeft() == expected.TopLeft()
                                                                      : actual == expected;
        if (!matches) {
            ++mismatches;
            std::printf("control %d at %d %d %d %d, the layout says %d %d %d %d\n", control.id, actual.left,
                        actual.top, actual.right, actual.bottom, expected.left, expected.top, expected.right,
                        expected.bottom);
        }
    }
    std::printf("%d of %zu controls off their layout\n", mismatches, control_table::Controls().size());
    return mismatches == 0 ? 0 : 3;
}

int Readings(HWND window) {
    for (const int id :
         {LabelInputVoltage, LabelInputCurrent, LabelInputPower, LabelEnergy, LabelRail12V, LabelRailMinus12V,
          LabelRail5Vsb, LabelRail5V, LabelRail3V3, LabelTemperature, LabelFanSpeed}) {
        wchar_t text[64] = {};
        GetDlgItemTextW(window, id, text, 64);
        std::printf("%s ", Utf16ToUtf8(text).c_str());
    }
    std::printf("\n");
    return 0;
}

int DeviceChange(HWND window) {
    for (const WPARAM type : {0x0007, 0x8000, 0x8004, 0x0018}) {
        std::printf("0x%04x %lld\n", static_cast<unsigned>(type),
                    static_cast<long long>(SendMessageW(window, WM_DEVICECHANGE, type, 0)));
    }
    return 0;
}

BOOL CALLBACK PrintChildText(HWND child, LPARAM) {
    if (!IsWindowVisible(child)) {
        return TRUE;
    }
    // Asked of the control itself: GetWindowTextW would read another process's edit as its creation text.
    const LRESULT length = SendMessageW(child, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    std::string line = std::to_string(GetDlgCtrlID(child)) + " ";
    for (const char c : Utf16ToUtf8(text)) {
        line += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    std::printf("%s\n", line.c_str());
    return TRUE;
}

int Texts(HWND window) {
    EnumChildWindows(window, PrintChildText, 0);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zephyrine_window_probe TITLE layout|readings|device-change|texts\n");
        return 2;
    }
    HWND window = FindVisibleWindow(argv[1]);
    if (window == nullptr) {
        std::printf("no visible window titled %s\n", Utf16ToUtf8(argv[1]).c_str());
        return 1;
    }
    const std::wstring what = argv[2];
    if (what == L"layout") {
        return Layout(window);
    }
    if (what == L"readings") {
        return Readings(window);
    }
    if (what == L"texts") {
        return Texts(window);
    }
    return DeviceChange(window);
}
