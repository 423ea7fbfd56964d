#include "ui/contract/DialogContract.h"

#include "ui/qt/QtUiPlatform.h"

namespace {

// On the offscreen QApplication of this executable (QtMainWindowTest.cpp).
class QtContractBackend final : public ContractBackend {
public:
    zui::UiPlatform& Ui() override { return m_ui; }

private:
    QtUiPlatform m_ui;
};

} // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
    return std::make_unique<QtContractBackend>();
}
