// Looks at a running window from outside, for the window stage under Wine:
// zephyrine_window_probe TITLE MODE, where MODE is one of
//   layout         the window's and its client area's rectangles on the screen, then every control that
//                  does not sit where the layout puts it on that client area
//   captions       every caption and reading: its ID, its rectangle in the client area and the colours its
//                  text may take (RRGGBB, comma-separated)
//   readings       the eleven reading labels' texts, one line
//   device-change  what WM_DEVICECHANGE answers for each event type
//   message-box    a message box's text and visible buttons; then its OK is pressed
//   texts          every visible child's ID and text, one line each (a box's message, a dialog's edit)
//
// Waits up to ten seconds for a visible top-level window of that title. Exits 1 when there is none, 3 on a
// layout mismatch or a message box without an OK button.
#include "common/win32/Utf16.h"
#include "protocol/ReadingDisplay.h"
#include "ui/ControlTable.h"
#include "ui/Geometry.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    const std::wstring& title;
    HWND found = nullptr;
};

// FindWindowW gives only the first window of the title, hidden or not.
BOOL CALLBACK MatchVisible(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (IsWindowVisible(window) && search.title == text) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleWindow(const std::wstring& title) {
    for (int waited = 0; waited < 10000; waited += 100) {
        Search search{title};
        EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
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

std::string TextOf(HWND window) {
    // Asked of the control itself: GetWindowTextW reads another process's edit as its creation text.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return Utf16ToUtf8(text);
}

int Layout(HWND window) {
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    Print("window", {outer.left, outer.top, outer.right, outer.bottom});
    // The frame Wine draws is not Windows' frame: a screenshot finds the client area only from here.
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Print("client", {client.left, client.top, client.right, client.bottom});
    const zui::Size clientSize{static_cast<int>(client.right - client.left),
                               static_cast<int>(client.bottom - client.top)};
    int mismatches = 0;
    for (const ControlInfo& control : control_table::Controls()) {
        const zui::Rect expected = geometry::ScaleReferenceRect(control.reference, clientSize);
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

int Captions(HWND window) {
    for (const ControlInfo& control : control_table::Controls()) {
        if (control.role == ControlRole::ImageButton) {
            continue;
        }
        const zui::Rect r = ClientRectOf(window, GetDlgItem(window, control.id));
        std::printf("%d %d %d %d %d ", control.id, r.left, r.top, r.right, r.bottom);
        // A flagged reading is red or black by the supply's flag, which only the window knows.
        const int flags = control.colour == TextColourRule::FlaggedReading ? 2 : 1;
        for (int flag = 0; flag < flags; ++flag) {
            const zui::Rgb colour = control_table::TextColour(control.colour, flag);
            std::printf("%s%02x%02x%02x", flag == 0 ? "" : ",", colour.red, colour.green, colour.blue);
        }
        std::printf("\n");
    }
    return 0;
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

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// Line ends written out, so that the text stays on one line of the output.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        escaped += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return escaped;
}

int MessageBoxAnswer(HWND box) {
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    HWND ok = nullptr;
    // The text first, then the buttons, in whatever order the box holds them.
    for (const bool buttons : {false, true}) {
        for (HWND child : children) {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            const std::string text = TextOf(child);
            if (!buttons && lstrcmpiW(className, L"Static") == 0 && !text.empty()) {
                std::printf("text %s\n", Escaped(text).c_str());
            } else if (buttons && lstrcmpiW(className, L"Button") == 0 && IsWindowVisible(child)) {
                const int id = GetDlgCtrlID(child);
                std::printf("button %d %s\n", id, text.c_str());
                if (id == IDOK) {
                    ok = child;
                }
            }
        }
    }
    if (ok == nullptr) {
        return 3;
    }
    // As the button's click would; BM_CLICK may be lost while the box is not the active window.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return 0;
}

int Texts(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (IsWindowVisible(child)) {
            std::printf("%d %s\n", GetDlgCtrlID(child), Escaped(TextOf(child)).c_str());
        }
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring what = argc == 3 ? argv[2] : L"";
    if (what != L"layout" && what != L"captions" && what != L"readings" && what != L"device-change" &&
        what != L"message-box" && what != L"texts") {
        std::fprintf(
            stderr,
            "usage: zephyrine_window_probe TITLE layout|captions|readings|device-change|message-box|texts\n");
        return 2;
    }
    HWND window = FindVisibleWindow(argv[1]);
    if (window == nullptr) {
        std::printf("no visible window titled %s\n", Utf16ToUtf8(argv[1]).c_str());
        return 1;
    }
    if (what == L"layout") {
        return Layout(window);
    }
    if (what == L"captions") {
        return Captions(window);
    }
    if (what == L"readings") {
        return Readings(window);
    }
    if (what == L"device-change") {
        return DeviceChange(window);
    }
    if (what == L"texts") {
        return Texts(window);
    }
    return MessageBoxAnswer(window);
}
