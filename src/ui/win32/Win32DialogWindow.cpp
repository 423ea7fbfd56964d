#include "ui/win32/Win32DialogWindow.h"

#include "common/win32/Utf16.h"
#include "ui/win32/DialogTemplateBuilder.h"
#include "ui/win32/Win32PaintContext.h"
#include "ui/win32/Win32UiPlatform.h"

extern "C" {
#include <hidsdi.h>
}
#include <dbt.h>
#include <windowsx.h>

#include <iterator>
#include <string_view>

namespace {

// The window CreateDialogIndirectParamW is making on this thread: its first messages come before
// WM_INITDIALOG hands over the object.
thread_local Win32DialogWindow* t_creating = nullptr;

// A message box is a window of the system's dialog class that is not one of our dialogs, which end through
// their runs.
bool IsMessageBox(HWND window) {
    wchar_t className[8] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return std::wstring_view(className) == L"#32770" && !Win32DialogWindow::IsDialogOfOurs(window);
}

// Ends a message box that owner owns.
BOOL CALLBACK EndOwnedBox(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsMessageBox(window)) {
        ::EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

BOOL CALLBACK EndBox(HWND window, LPARAM) {
    if (IsMessageBox(window)) {
        ::EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

} // namespace

Win32DialogWindow::Win32DialogWindow(Win32UiPlatform& platform, const zui::DialogDescription& description,
                                     zui::DialogEvents& events, Win32DialogWindow* owner)
    : zui::DialogWindow(platform, description, events), m_platform(platform), m_owner(owner) {}

Win32DialogWindow::~Win32DialogWindow() {
    Destroy();
}

bool Win32DialogWindow::IsDialogOfOurs(HWND hwnd) {
    return reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hwnd, DWLP_DLGPROC)) == &DialogProc;
}

void Win32DialogWindow::EndMessageBoxes() {
    EnumThreadWindows(GetCurrentThreadId(), EndBox, 0);
}

bool Win32DialogWindow::Create(const std::function<bool()>& windowCreated) {
    const std::vector<std::uint8_t> dialogTemplate =
        BuildDialogTemplate(Description(), Utf8ToUtf16(m_platform.ResolveFace(Description().fontFace)));
    m_windowCreated = &windowCreated;
    t_creating = this;
    HWND created = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
        m_owner != nullptr ? m_owner->Handle() : nullptr, DialogProc, 0);
    t_creating = nullptr;
    AnswerCreated();
    m_windowCreated = nullptr;
    if (created == nullptr || m_creationRefused) {
        Destroy();
        return false;
    }
    // Arrival and removal of HID interfaces besides the notices every top-level window gets.
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    m_deviceNotification = RegisterDeviceNotificationW(m_hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return true;
}

void Win32DialogWindow::AnswerCreated() {
    if (m_createdAnswered || m_windowCreated == nullptr || m_hwnd == nullptr) {
        return;
    }
    m_createdAnswered = true;
    m_creationRefused = !(*m_windowCreated)();
}

void Win32DialogWindow::RunMessageLoop() {
    HWND owner = m_owner != nullptr ? m_owner->Handle() : nullptr;
    if (owner != nullptr) {
        EnableWindow(owner, FALSE);
    }
    MSG message;
    while (!Ended()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                // Whoever asked to quit the thread's loop must still find the request.
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        const bool forThisDialog = message.hwnd == m_hwnd || IsChild(m_hwnd, message.hwnd);
        if (forThisDialog && message.message == WM_KEYDOWN &&
            Events().PreTranslateKey(static_cast<int>(message.wParam))) {
            continue;
        }
        if (IsDialogMessageW(m_hwnd, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Before the dialog goes, so that the system activates the owner again.
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
}

void Win32DialogWindow::OnRunEnded() {
    // The message boxes this window owns end with it; they run on this thread, so they can be ended here.
    EnumThreadWindows(GetCurrentThreadId(), EndOwnedBox, reinterpret_cast<LPARAM>(m_hwnd));
    // Wakes the loop, which looks at Ended() after every message.
    PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

void Win32DialogWindow::Destroy() {
    if (m_owner != nullptr && m_owner->Handle() != nullptr) {
        EnableWindow(m_owner->Handle(), TRUE);
    }
    while (!m_notifyIcons.empty()) {
        DeleteNotifyIcon(m_notifyIcons.begin()->first);
    }
    if (m_deviceNotification != nullptr) {
        UnregisterDeviceNotification(m_deviceNotification);
        m_deviceNotification = nullptr;
    }
    if (m_hwnd != nullptr) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd); // its timers end with it
        m_hwnd = nullptr;
    }
    for (HFONT font : m_fonts) {
        DeleteObject(font);
    }
    m_fonts.clear();
    for (const auto& [image, bitmap] : m_bitmaps) {
        DeleteObject(bitmap);
    }
    m_bitmaps.clear();
    for (const auto& [image, icon] : m_icons) {
        DestroyIcon(icon);
    }
    m_icons.clear();
    m_buttonImages.clear();
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr && t_creating != nullptr) {
        self = t_creating;
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self != nullptr ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32DialogWindow::Answer(LONG_PTR result) {
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Win32DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Sent to every top-level window when Explorer (and with it the notification area) has started anew.
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == taskbarCreated) {
        AddNotifyIconsAgain();
        return Answer(0);
    }
    switch (message) {
    case WM_SETFONT:
        // With DS_SETFONT the first message the procedure sees, before the controls exist.
        AnswerCreated();
        return FALSE;
    case WM_INITDIALOG:
        AnswerCreated();
        // The framework puts the focus once the dialog has initialised itself.
        return FALSE;
    case WM_COMMAND:
        // Button clicks and menu commands; the controls' other notices are not the dialog's business.
        if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
            Events().OnCommand(static_cast<int>(static_cast<short>(LOWORD(wParam))));
        }
        return TRUE;
    case WM_SYSCOMMAND:
        // Not handled: DefDlgProc carries it out, and a close comes back as WM_CLOSE.
        return Events().OnSystemCommand(static_cast<unsigned>(wParam & 0xFFF0)) ? Answer(0) : FALSE;
    case WM_CLOSE:
        Events().OnClose();
        return Answer(0);
    case WM_TIMER:
        Events().OnTimer(static_cast<int>(wParam));
        return Answer(0);
    case WM_DEVICECHANGE:
        return Answer(Events().OnDeviceChange(static_cast<unsigned>(wParam)) ? TRUE : FALSE);
    case WM_ENDSESSION:
        // FALSE: the end was called off. TRUE: Windows may end the process as soon as this returns.
        if (wParam != FALSE) {
            Events().OnEndSession();
        }
        return Answer(0);
    case WM_SIZE:
        Events().OnSize();
        return Answer(0);
    case WM_PAINT:
        Paint();
        return Answer(0);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        DrawImageButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        Events().OnLeftButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return Answer(0);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(SendMessageW(m_hwnd, WM_GETICON, ICON_BIG, 0));
    case kTrayCallbackMessage:
        return Answer(Events().OnTrayNotify(static_cast<int>(wParam), static_cast<std::uint32_t>(lParam)));
    default:
        return FALSE;
    }
}

INT_PTR Win32DialogWindow::OnCtlColorStatic(HDC dc, HWND control) {
    const zui::CtlColor look = Events().OnCtlColor(GetDlgCtrlID(control));
    if (!look.custom) {
        return FALSE;
    }
    // The static paints its text straight onto the skin the dialog drew under it.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(look.text.red, look.text.green, look.text.blue));
    if (look.font > 0 && look.font <= static_cast<int>(m_fonts.size())) {
        HFONT font = m_fonts[static_cast<std::size_t>(look.font - 1)];
        SelectObject(dc, font);
        // A static selects the font it was given (the dialog's) after this answer, so it must be given ours.
        if (reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) != font) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

void Win32DialogWindow::Paint() {
    PaintNow([this](zui::PaintContext& context) { Events().OnPaint(context); });
}

void Win32DialogWindow::PaintNow(const std::function<void(zui::PaintContext&)>& paint) {
    // Outside WM_PAINT BeginPaint still clips to the invalid area, and takes it as painted.
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(m_hwnd, &paintStruct);
    Win32PaintContext context(dc, [this](const zui::Image& icon) { return IconOf(icon); });
    paint(context);
    EndPaint(m_hwnd, &paintStruct);
}

void Win32DialogWindow::SendPaintMessage() {
    SendMessageW(m_hwnd, WM_PAINT, 0, 0);
}

void Win32DialogWindow::Invalidate(const zui::Rect& area, bool erase) {
    const RECT rect{area.left, area.top, area.right, area.bottom};
    InvalidateRect(m_hwnd, &rect, erase ? TRUE : FALSE);
}

void Win32DialogWindow::InvalidateControl(int id, bool erase) {
    if (HWND control = Control(id)) {
        InvalidateRect(control, nullptr, erase ? TRUE : FALSE);
    }
}

void Win32DialogWindow::UpdateWindow() {
    ::UpdateWindow(m_hwnd);
}

void Win32DialogWindow::SetTimer(int id, int periodMs) {
    ::SetTimer(m_hwnd, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
}

void Win32DialogWindow::KillTimer(int id) {
    ::KillTimer(m_hwnd, static_cast<UINT_PTR>(id));
}
