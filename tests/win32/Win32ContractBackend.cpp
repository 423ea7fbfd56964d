#include "ui/contract/DialogContract.h"

#include "ui/win32/Win32UiPlatform.h"

namespace {

// Real dialogs and message boxes of this process, under Wine on Linux.
class Win32ContractBackend final : public ContractBackend {
public:
    zui::UiPlatform& Ui() override { return m_ui; }

private:
    Win32UiPlatform m_ui;
};

} // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
    return std::make_unique<Win32ContractBackend>();
}
