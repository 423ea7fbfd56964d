#include "ui/qt/DeviceSource.h"

#include "device/DeviceMonitor.h"
#include "device/linux/LinuxDeviceMonitor.h"
#include "device/linux/LinuxHidPlatform.h"
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "ui/framework/DialogCodes.h"
#include "ui/qt/QtUiPlatform.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

namespace {

class SimulatedSource final : public DeviceSource {
public:
    SimulatedSource() {
        m_platform.AddSupply();
        m_sinceLastStep.start();
        // Once a second is fine enough for a model whose temperature takes minutes to move.
        QObject::connect(&m_clock, &QTimer::timeout, [this] {
            const int elapsedMs = static_cast<int>(m_sinceLastStep.restart());
            m_platform.WithSupply([elapsedMs](VirtualPowerSupply& supply) { supply.Advance(elapsedMs); });
        });
        m_clock.start(1000);
    }

    HidPlatform& Platform() override { return m_platform; }

private:
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
    QElapsedTimer m_sinceLastStep;
    QTimer m_clock;
};

class SystemSource final : public DeviceSource {
public:
    explicit SystemSource(QtUiPlatform& ui) : m_monitor(OpenDeviceMonitor()) {
        if (m_monitor == nullptr) {
            return;
        }
        m_notifier = std::make_unique<QSocketNotifier>(m_monitor->Descriptor(), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this, &ui] {
            if (m_monitor->DrainChanges()) {
                ui.BroadcastDeviceChange(zui::DeviceNodesChanged);
            }
        });
    }

    HidPlatform& Platform() override { return m_platform; }

private:
    LinuxHidPlatform m_platform;
    std::unique_ptr<DeviceMonitor> m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

std::unique_ptr<DeviceSource> MakeSimulatedSource() {
    return std::make_unique<SimulatedSource>();
}

std::unique_ptr<DeviceSource> MakeDeviceSource(QtUiPlatform& ui) {
    return std::make_unique<SystemSource>(ui);
}
