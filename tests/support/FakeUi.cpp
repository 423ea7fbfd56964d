#include "support/FakeUi.h"

#include "Resources.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::string RectText(const zui::Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::uint32_t ReadLittle32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint32_t ReadBig32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 |
           bytes[at + 3];
}

} // namespace

// The window starts at its template's size, in the base units of an 8-point dialog font.
FakeDialogHost::FakeDialogHost(FakeUiPlatform& platform, const zui::DialogDescription& description,
                               zui::DialogEvents& events)
    : zui::DialogWindow(platform, description, events), m_platform(platform) {
    const zui::PixelRect size = zui::DialogUnitsToPixels(
        {0, 0, description.widthDialogUnits, description.heightDialogUnits}, {6, 13});
    m_windowRect = {0, 0, size.width, size.height};
}

bool FakeDialogHost::Create(const std::function<bool()>& windowCreated) {
    if (!windowCreated()) {
        return false;
    }
    for (const auto& control : Description().controls) {
        if (control.id != zui::kNoControlId) {
            m_controls[control.id] = FakeControl{control, control.text, {}, true, true, {}};
        }
    }
    return true;
}

void FakeDialogHost::RunMessageLoop() {
    if (const auto script = m_platform.TakeScript()) {
        script(*this);
    }
}

void FakeDialogHost::Destroy() {
    *m_alive = false;
    m_timers.clear();
    m_visible = false;
}

FakeControl* FakeDialogHost::Find(int id) {
    const auto it = m_controls.find(id);
    if (it == m_controls.end()) {
        ++m_unknownControlCalls;
        return nullptr;
    }
    return &it->second;
}

const FakeControl& FakeDialogHost::Control(int id) const {
    static const FakeControl kMissing{};
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? kMissing : it->second;
}

void FakeDialogHost::SetTitle(const std::string& text) {
    m_title = text;
    Log("title " + text);
}

void FakeDialogHost::SetIcon(const zui::Image& icon, bool big) {
    Log(std::string(big ? "big" : "small") + " icon " + std::to_string(icon.width) + "x" +
        std::to_string(icon.height));
}

void FakeDialogHost::MoveWindow(const zui::Rect& outer, bool repaint) {
    const bool resized = outer.GetSize() != m_windowRect.GetSize();
    m_windowRect = outer;
    Log("move " + RectText(outer));
    if (repaint) {
        m_invalid.push_back(ClientRect());
    }
    if (resized) {
        Events().OnSize();
    }
}

zui::Rect FakeDialogHost::ClientRect() const {
    const zui::Rect& f = m_platform.frame;
    return {0, 0, std::max(0, m_windowRect.Width() - f.left - f.right),
            std::max(0, m_windowRect.Height() - f.top - f.bottom)};
}

void FakeDialogHost::ShowWindow(bool show) {
    m_visible = show;
    Log(show ? "window shown" : "window hidden");
}

std::optional<int> FakeDialogHost::LogicalDpiX() const {
    return m_platform.dpiX;
}

void FakeDialogHost::SetControlText(int id, const std::string& text) {
    if (FakeControl* control = Find(id)) {
        control->text = text;
        Log("text " + std::to_string(id) + " " + text);
    }
}

void FakeDialogHost::MoveControl(int id, const zui::Rect& rect, bool) {
    if (FakeControl* control = Find(id)) {
        control->rect = rect;
        Log("place " + std::to_string(id) + " " + RectText(rect));
    }
}

void FakeDialogHost::ResizeControl(int id, zui::Size size) {
    if (FakeControl* control = Find(id)) {
        control->rect = zui::Rect::FromPointSize(control->rect.TopLeft(), size);
    }
}

void FakeDialogHost::ShowControl(int id, bool show) {
    if (FakeControl* control = Find(id)) {
        control->visible = show;
        Log((show ? "show " : "hide ") + std::to_string(id));
    }
}

void FakeDialogHost::EnableControl(int id, bool enable) {
    if (FakeControl* control = Find(id)) {
        control->enabled = enable;
        Log((enable ? "enable " : "disable ") + std::to_string(id));
    }
}

void FakeDialogHost::SetControlImage(int id, const zui::Image& image) {
    if (FakeControl* control = Find(id)) {
        control->image = image;
        Log("image " + std::to_string(id) + " " + std::to_string(m_platform.BitmapIdOf(image)));
    }
}

zui::FontId FakeDialogHost::CreateLabelFont(const zui::FontSpec& wanted) {
    m_fonts.push_back(wanted);
    return static_cast<zui::FontId>(m_fonts.size());
}

void FakeDialogHost::Invalidate(const zui::Rect& area, bool) {
    m_invalid.push_back(area);
    Log("invalidate " + RectText(area));
}

void FakeDialogHost::InvalidateControl(int id, bool) {
    if (Find(id) != nullptr) {
        Log("control invalidated " + std::to_string(id));
    }
}

void FakeDialogHost::UpdateWindow() {
    Log("update");
    // As on Win32, a hidden window is not painted and keeps its invalid areas.
    if (m_visible) {
        m_invalid.clear();
    }
}

void FakeDialogHost::PaintNow(const std::function<void(zui::PaintContext&)>& paint) {
    Log("paint now");
    if (m_invalid.empty()) {
        return;
    }
    RecordingPaintContext dc;
    paint(dc);
    m_directPaints.insert(m_directPaints.end(), dc.operations.begin(), dc.operations.end());
    m_invalid.clear();
}

std::vector<PaintOperation> FakeDialogHost::Paint() {
    RecordingPaintContext dc;
    Events().OnPaint(dc);
    return dc.operations;
}

void FakeDialogHost::SetTimer(int id, int periodMs) {
    m_timers[id] = {periodMs, m_nowMs + periodMs};
    Log("timer " + std::to_string(id) + " " + std::to_string(periodMs));
}

void FakeDialogHost::KillTimer(int id) {
    m_timers.erase(id);
    Log("kill timer " + std::to_string(id));
}

std::optional<int> FakeDialogHost::TimerPeriod(int id) const {
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? std::nullopt : std::optional<int>(it->second.periodMs);
}

void FakeDialogHost::AdvanceMs(int durationMs) {
    const long long end = m_nowMs + durationMs;
    for (;;) {
        const auto next =
            std::ranges::min_element(m_timers, {}, [](const auto& t) { return t.second.dueMs; });
        if (Ended() || next == m_timers.end() || next->second.dueMs > end) {
            break;
        }
        RunNextTimer();
    }
    m_nowMs = std::max(m_nowMs, end);
}

bool FakeDialogHost::RunNextTimer() {
    const auto next = std::ranges::min_element(m_timers, {}, [](const auto& t) { return t.second.dueMs; });
    if (Ended() || next == m_timers.end()) {
        return false;
    }
    const int id = next->first;
    m_nowMs = next->second.dueMs;
    next->second.dueMs += std::max(1, next->second.periodMs);
    Events().OnTimer(id);
    return true;
}

void FakeDialogHost::Click(int id) {
    const FakeControl* control = Find(id);
    if (control != nullptr && control->visible && control->enabled) {
        Events().OnCommand(id);
    }
}

void FakeDialogHost::SystemCommand(unsigned code) {
    if (Events().OnSystemCommand(code)) {
        return;
    }
    if (code == zui::SystemCommandClose) {
        Events().OnClose();
    } else if (code == zui::SystemCommandMinimize) {
        MinimizeWindow();
    }
}

int FakeUiPlatform::ShowMessageBox(const std::string& text, const std::string& caption,
                                   zui::MessageBoxButtons buttons, zui::MessageBoxIcon icon,
                                   zui::DialogHost* owner) {
    m_boxes.push_back({text, caption, buttons, icon, owner != nullptr});
    const bool closed = RunMenuOrBoxLoop([this] {
        if (onBox) {
            onBox(m_boxes.back());
        }
    });
    if (closed) {
        return zui::kIdCancel;
    }
    if (boxAnswers.empty()) {
        return zui::kIdOk;
    }
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

bool FakeUiPlatform::RunMenuOrBoxLoop(const std::function<void()>& meanwhile) {
    ++m_openMenusAndBoxes;
    RunPostedCalls();
    meanwhile();
    const bool closed = m_closingMenusAndBoxes;
    // The request holds until the outermost loop open at the time has returned.
    if (--m_openMenusAndBoxes == 0) {
        m_closingMenusAndBoxes = false;
    }
    return closed;
}

void FakeUiPlatform::CloseMenusAndBoxes() {
    m_closingMenusAndBoxes = m_openMenusAndBoxes > 0;
}

zui::Image FakeUiPlatform::DecodeImage(std::span<const std::uint8_t> bytes) {
    zui::Image image;
    if (bytes.size() >= 30 && bytes[0] == 'B' && bytes[1] == 'M') {
        image.width = static_cast<int>(ReadLittle32(bytes, 18));
        image.height = std::abs(static_cast<int>(ReadLittle32(bytes, 22)));
        image.bitsPerPixel = bytes[28];
    } else if (bytes.size() >= 26 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' &&
               bytes[3] == 'G') {
        image.width = static_cast<int>(ReadBig32(bytes, 16));
        image.height = static_cast<int>(ReadBig32(bytes, 20));
        image.hasAlpha = bytes[25] == 4 || bytes[25] == 6;
        image.bitsPerPixel = image.hasAlpha ? 32 : 24;
    } else {
        return {};
    }
    std::uint32_t hash = 2166136261u;
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 16777619u;
    }
    const std::uint8_t alpha = image.hasAlpha ? 128 : 255;
    const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(hash), static_cast<std::uint8_t>(hash >> 8),
                                   static_cast<std::uint8_t>(hash >> 16), alpha};
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    for (auto it = image.pixels.begin(); it != image.pixels.end(); it += 4) {
        std::copy(std::begin(pixel), std::end(pixel), it);
    }
    return image;
}

zui::Image FakeUiPlatform::LoadImageFile(const std::string& path) {
    ++m_fileLoads;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return DecodeImage(bytes);
}

std::optional<std::string> FakeUiPlatform::AddPrivateFont(std::span<const std::uint8_t> bytes) {
    for (const int id : {159, 183}) {
        if (bytes.data() == zres::EmbeddedResource(zres::ResourceKind::Font, id).data()) {
            return failingFonts.contains(id) ? std::nullopt : std::optional(FamilyOfFont(id));
        }
    }
    return "Fake Family";
}

int FakeUiPlatform::BitmapIdOf(const zui::Image& image) {
    if (m_bitmaps.empty()) {
        for (const int id : {147, 149, 150, 151, 152, 153, 155, 156}) {
            m_bitmaps.emplace(id, DecodeImage(zres::EmbeddedResource(zres::ResourceKind::Bitmap, id)));
        }
    }
    for (const auto& [id, bitmap] : m_bitmaps) {
        if (!image.IsNull() && bitmap == image) {
            return id;
        }
    }
    return 0;
}

std::unique_ptr<zui::DialogWindow> FakeUiPlatform::MakeDialogWindow(const zui::DialogDescription& description,
                                                                    zui::DialogEvents& events,
                                                                    zui::DialogWindow*) {
    if (failNextDialogCreation) {
        failNextDialogCreation = false;
        return nullptr;
    }
    return std::make_unique<FakeDialogHost>(*this, description, events);
}

std::function<void(FakeDialogHost&)> FakeUiPlatform::TakeScript() {
    if (m_scripts.empty()) {
        return defaultScript;
    }
    auto script = std::move(m_scripts.front());
    m_scripts.pop_front();
    return script;
}

SyncCallQueue::Poster FakeUiPlatform::WindowThreadPoster() {
    return [queue = m_posted](std::function<void()> call) {
        {
            std::lock_guard lock(queue->mutex);
            queue->calls.push_back(std::move(call));
        }
        queue->posted.notify_all();
    };
}

std::vector<std::function<void()>> FakeUiPlatform::TakePosted() {
    std::lock_guard lock(m_posted->mutex);
    std::vector<std::function<void()>> calls(std::make_move_iterator(m_posted->calls.begin()),
                                             std::make_move_iterator(m_posted->calls.end()));
    m_posted->calls.clear();
    return calls;
}

void FakeUiPlatform::RunPostedCalls() {
    for (auto& call : TakePosted()) {
        call();
    }
}

bool FakeUiPlatform::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        {
            // done() may turn true on another thread without anything being posted, so look again often.
            std::unique_lock lock(m_posted->mutex);
            m_posted->posted.wait_for(lock, std::chrono::milliseconds(5),
                                      [&] { return !m_posted->calls.empty(); });
        }
        RunPostedCalls();
    }
    return true;
}
