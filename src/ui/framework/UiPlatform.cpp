#include "ui/framework/UiPlatform.h"

#include "ui/framework/DialogWindow.h"

#include <algorithm>

namespace zui {

void DialogWindow::EndDialog(int result) {
    m_platform.EndModalRun(*this, result);
}

bool UiPlatform::RegisterPrivateFont(std::span<const std::uint8_t> bytes, const std::string& faceName) {
    auto known = m_fontFamilies.find(bytes.data());
    if (known == m_fontFamilies.end()) {
        std::optional<std::string> family = bytes.empty() ? std::nullopt : AddPrivateFont(bytes);
        if (!family) {
            return false;
        }
        known = m_fontFamilies.emplace(bytes.data(), std::move(*family)).first;
    }
    m_faceFamilies[faceName] = known->second;
    return true;
}

std::string UiPlatform::ResolveFace(const std::string& faceName) const {
    const auto it = m_faceFamilies.find(faceName);
    return it == m_faceFamilies.end() ? faceName : it->second;
}

int UiPlatform::RunModalDialog(const DialogDescription& description, DialogEvents& events,
                               DialogHost* owner) {
    std::unique_ptr<DialogWindow> window = MakeDialogWindow(description, events, RunOf(owner));
    if (!window) {
        return kDialogCreationFailed;
    }
    m_runs.push_back(window.get());
    events.AttachHost(window.get());
    int result = kDialogCreationFailed;
    if (window->Create([&events] { return events.OnCreate() != -1; })) {
        const bool focusFirst = events.OnInitDialog();
        if (!window->Ended()) {
            if (description.visible) {
                window->ShowWindow(true);
                window->SetForeground();
            }
            const auto first = std::ranges::find_if(description.controls, &ControlDescription::tabStop);
            if (focusFirst && first != description.controls.end()) {
                window->SetFocusToControl(first->id);
            }
            window->RunMessageLoop();
        }
        events.OnDestroy();
        result = window->Result();
    }
    window->Destroy();
    events.AttachHost(nullptr);
    std::erase(m_runs, window.get());
    return result;
}

void UiPlatform::EndModalRun(DialogWindow& window, int result) {
    const auto it = std::ranges::find(m_runs, &window);
    if (it == m_runs.end() || window.m_ended) {
        return;
    }
    std::vector<DialogWindow*> above(it + 1, m_runs.end());
    for (auto inner = above.rbegin(); inner != above.rend(); ++inner) {
        EndModalRun(**inner, kIdCancel);
    }
    window.m_ended = true;
    window.m_result = result;
    window.OnRunEnded();
}

void UiPlatform::BroadcastDeviceChange(unsigned eventType) {
    for (DialogWindow* window : std::vector(m_runs)) {
        window->Events().OnDeviceChange(eventType);
    }
}

void UiPlatform::BroadcastEndSession() {
    for (DialogWindow* window : std::vector(m_runs)) {
        window->Events().OnEndSession();
    }
}

void UiPlatform::CancelMainDialog() {
    CloseMenusAndBoxes();
    if (!m_runs.empty()) {
        m_runs.front()->Events().OnCommand(kIdCancel);
    }
}

DialogWindow* UiPlatform::RunOf(const DialogHost* host) const {
    const auto it = std::ranges::find_if(m_runs, [host](const DialogWindow* run) { return run == host; });
    return it == m_runs.end() ? nullptr : *it;
}

} // namespace zui
