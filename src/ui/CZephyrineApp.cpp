#include "ui/CZephyrineApp.h"

bool CZephyrineApp::InitInstance() {
    m_instanceGuard = std::make_unique<SingleInstanceGuard>(kInstanceName);
    if (!m_instanceGuard->IsFirstInstance()) {
        Ui().ShowMessageBox(kAlreadyRunningText, Title(), zui::MessageBoxButtons::Ok,
                            zui::MessageBoxIcon::Exclamation, nullptr);
        return false;
    }
    CZephyrineDlg dlg(*this, m_services.hidPlatform, m_services.sleeper, m_services.settings,
                      m_services.timings);
    dlg.DoModal();
    return false;
}
