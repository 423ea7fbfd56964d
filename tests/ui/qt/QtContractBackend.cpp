#include "ui/contract/DialogContract.h"

#include "ui/qt/QtUiPlatform.h"

#include <QCoreApplication>

namespace {

// On the offscreen QApplication of this executable (QtMainWindowTest.cpp).
class QtContractBackend final : public ContractBackend {
public:
    zui::UiPlatform& Ui() override { return m_ui; }
    // The application's end; the session manager's request to save is connected the same way, but no test
    // can make the QSessionManager it passes. moc emits a private signal invoked by name.
    void EndSession() override { QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection); }

private:
    QtUiPlatform m_ui;
};

} // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
    return std::make_unique<QtContractBackend>();
}
