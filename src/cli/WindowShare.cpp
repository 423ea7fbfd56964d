#include "cli/WindowShare.h"

#include "ui/SingleInstanceGuard.h"

bool SystemWindowShare::WindowRuns() {
    return SingleInstanceGuard::IsHeld(kWindowInstanceName);
}

ModeSettings& SystemWindowShare::Mode() {
    if (!m_mode) {
        m_settings = MakeWindowSettings();
        m_mode.emplace(*m_settings);
    }
    return *m_mode;
}

std::unique_ptr<WindowShare> MakeWindowShare(bool simulate) {
    if (simulate) {
        return std::make_unique<NoWindowShare>();
    }
    return std::make_unique<SystemWindowShare>();
}
