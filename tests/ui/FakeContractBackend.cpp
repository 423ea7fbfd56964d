#include "ui/contract/DialogContract.h"

#include "support/FakeUi.h"

namespace {

// The fake's message loop: time passes from timer to timer, and what other threads post meanwhile runs, until
// the run ends (or five seconds have passed).
class FakeContractBackend final : public ContractBackend {
public:
    FakeContractBackend() {
        m_ui.defaultScript = [this](FakeDialogHost& host) {
            for (int step = 0; step < 1000 && host.RunNextTimer(); ++step) {
                m_ui.PumpUntil([] { return false; }, std::chrono::milliseconds(5));
            }
        };
    }
    zui::UiPlatform& Ui() override { return m_ui; }
    void EndSession() override { m_ui.BroadcastEndSession(); }

private:
    FakeUiPlatform m_ui;
};

} // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
    return std::make_unique<FakeContractBackend>();
}
