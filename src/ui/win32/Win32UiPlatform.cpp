#include "ui/win32/Win32UiPlatform.h"

#include "common/win32/Utf16.h"
#include "ui/win32/Win32DialogWindow.h"
#include "ui/win32/Win32Fonts.h"
#include "ui/win32/Win32Images.h"

#include <deque>
#include <functional>
#include <mutex>

namespace {

constexpr UINT kRunPostedCalls = WM_APP;
constexpr const wchar_t* kPostedCallsClass = L"ZephyrinePostedCalls";

UINT ButtonsOf(zui::MessageBoxButtons buttons) {
    return buttons == zui::MessageBoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
}

UINT IconOf(zui::MessageBoxIcon icon) {
    switch (icon) {
    case zui::MessageBoxIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case zui::MessageBoxIcon::Information:
        return MB_ICONINFORMATION;
    case zui::MessageBoxIcon::Question:
        return MB_ICONQUESTION;
    case zui::MessageBoxIcon::Error:
        return MB_ICONERROR;
    case zui::MessageBoxIcon::None:
        break;
    }
    return 0;
}

} // namespace

// Shared with the posters, which may outlive the platform: a call posted after it has gone is dropped.
struct Win32UiPlatform::PostedCalls {
    std::mutex mutex;
    std::deque<std::function<void()>> calls;
    HWND window = nullptr;
};

Win32UiPlatform::Win32UiPlatform() : m_posted(std::make_shared<PostedCalls>()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PostedCallsProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kPostedCallsClass;
    RegisterClassExW(&windowClass); // fails harmlessly when a second platform registers it again
    m_posted->window = CreateWindowExW(0, kPostedCallsClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_posted->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_posted.get()));
}

Win32UiPlatform::~Win32UiPlatform() {
    std::lock_guard lock(m_posted->mutex);
    DestroyWindow(m_posted->window);
    m_posted->window = nullptr;
    m_posted->calls.clear();
}

LRESULT CALLBACK Win32UiPlatform::PostedCallsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* posted = reinterpret_cast<PostedCalls*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != kRunPostedCalls || posted == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // One at a time: a call may open a box whose loop runs the next ones.
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(posted->mutex);
            if (posted->calls.empty()) {
                return 0;
            }
            call = std::move(posted->calls.front());
            posted->calls.pop_front();
        }
        call();
    }
}

SyncCallQueue::Poster Win32UiPlatform::WindowThreadPoster() {
    return [posted = m_posted](std::function<void()> call) {
        std::lock_guard lock(posted->mutex);
        if (posted->window == nullptr) {
            return;
        }
        posted->calls.push_back(std::move(call));
        // To a window, never to the thread: a thread message is lost while a box or a menu runs its loop.
        PostMessageW(posted->window, kRunPostedCalls, 0, 0);
    };
}

zui::Size Win32UiPlatform::PrimaryScreenSize() const {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

zui::Size Win32UiPlatform::SystemIconSize() const {
    return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
}

bool Win32UiPlatform::SystemTrayAvailable() const {
    return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

zui::Point Win32UiPlatform::CursorPosition() const {
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

int Win32UiPlatform::ShowMessageBox(const std::string& text, const std::string& caption,
                                    zui::MessageBoxButtons buttons, zui::MessageBoxIcon icon,
                                    zui::DialogHost* owner) {
    const auto* window = dynamic_cast<const Win32DialogWindow*>(owner);
    const int answer = MessageBoxW(window != nullptr ? window->Handle() : nullptr, Utf8ToUtf16(text).c_str(),
                                   Utf8ToUtf16(caption).c_str(), ButtonsOf(buttons) | IconOf(icon));
    return answer == IDOK ? zui::kIdOk : zui::kIdCancel;
}

zui::Image Win32UiPlatform::DecodeImage(std::span<const std::uint8_t> bytes) {
    return win32_images::Decode(bytes);
}

zui::Image Win32UiPlatform::LoadImageFile(const std::string& path) {
    return win32_images::LoadFile(path);
}

std::optional<std::string> Win32UiPlatform::AddPrivateFont(std::span<const std::uint8_t> bytes) {
    return ::AddPrivateFont(bytes);
}

void Win32UiPlatform::CloseMenusAndBoxes() {
    // The menu of this thread, if one is open; its loop ends once the message being handled returns.
    EndMenu();
    Win32DialogWindow::EndMessageBoxes();
}

std::unique_ptr<zui::DialogWindow>
Win32UiPlatform::MakeDialogWindow(const zui::DialogDescription& description, zui::DialogEvents& events,
                                  zui::DialogWindow* owner) {
    return std::make_unique<Win32DialogWindow>(*this, description, events,
                                               dynamic_cast<Win32DialogWindow*>(owner));
}
