#include "ui/CZephyrineApp.h"

bool CZephyrineApp::InitInstance() {
    if (!m_services.instanceLock.AcquireFirstInstance(kInstanceName)) {
        Ui().ShowMessageBox(kAlreadyRunningText, Title(), zui::MessageBoxButtons::Ok,
                            zui::MessageBoxIcon::Exclamation, nullptr);
        return false;
    }
    CZephyrineDlg dlg(*this, m_services.hidPlatform, m_services.sleeper, m_services.settings,
                      m_services.autostart, m_services.timings);
    dlg.DoModal();
    return false;
}
