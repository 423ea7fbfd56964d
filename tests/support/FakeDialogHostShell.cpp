#include "support/FakeUi.h"

#include <string>

// The fake window's place in the desktop: minimising, the move, its menus and its notification-area icons.

void FakeDialogHost::MinimizeWindow() {
    m_minimized = true;
    Log("minimized");
}

void FakeDialogHost::BeginWindowMove(zui::Point clientPoint) {
    Log("system move " + std::to_string(clientPoint.x) + "," + std::to_string(clientPoint.y));
}

void FakeDialogHost::AppendSystemMenuItem(const zui::MenuItem& item) {
    m_systemMenu.push_back({item.flags, item.commandId, std::string(item.text)});
}

void FakeDialogHost::TrackPopupMenu(std::span<const zui::MenuItem> items, zui::Point screenPoint) {
    TrackedMenu menu{{}, screenPoint};
    for (const zui::MenuItem& item : items) {
        menu.items.push_back({item.flags, item.commandId, std::string(item.text)});
    }
    m_menus.push_back(menu);
    Log("menu at " + std::to_string(screenPoint.x) + "," + std::to_string(screenPoint.y));
    if (m_platform.RunMenuOrBoxLoop([] {})) {
        Log("menu closed");
        return;
    }
    if (m_platform.menuPicks.empty()) {
        return;
    }
    const int pick = m_platform.menuPicks.front();
    m_platform.menuPicks.pop_front();
    if (pick < 0 || pick >= static_cast<int>(menu.items.size())) {
        return;
    }
    const int command = menu.items[static_cast<std::size_t>(pick)].commandId;
    m_platform.WindowThreadPoster()([this, alive = m_alive, command] {
        if (*alive) {
            Events().OnCommand(command);
        }
    });
}

bool FakeDialogHost::AddNotifyIcon(int iconId, const zui::Image& icon, const std::string& tip) {
    if (!m_platform.trayAvailable || m_platform.m_notifyArea.contains(iconId)) {
        Log("tray add failed " + std::to_string(iconId));
        return false;
    }
    m_platform.m_notifyArea[iconId] = {icon, tip};
    Log("tray add " + std::to_string(iconId) + " " + tip);
    return true;
}

bool FakeDialogHost::DeleteNotifyIcon(int iconId) {
    Log("tray delete " + std::to_string(iconId));
    if (m_platform.onNotifyIconDeleted) {
        m_platform.onNotifyIconDeleted();
    }
    return m_platform.m_notifyArea.erase(iconId) != 0;
}

const std::map<int, FakeNotifyIcon>& FakeDialogHost::NotifyIcons() const {
    return m_platform.NotifyIcons();
}

void FakeDialogHost::LeftPress(zui::Point at) {
    for (const auto& [id, control] : m_controls) {
        const bool takesTheMouse = control.description.kind != zui::ControlKind::StaticText &&
                                   control.description.kind != zui::ControlKind::StaticIcon;
        if (takesTheMouse && control.visible && control.rect.Contains(at)) {
            return;
        }
    }
    Events().OnLeftButtonDown(at);
}
