#include "ui/qt/DeviceSource.h"

#include "device/DeviceMonitor.h"
#include "device/linux/LinuxDeviceMonitor.h"
#include "device/linux/LinuxHidPlatform.h"
#include "device/virtual/SimulatedSupply.h"
#include "ui/framework/DialogCodes.h"
#include "ui/qt/QtUiPlatform.h"

#include <QSocketNotifier>

#include <string>

namespace {

class SimulatedSource final : public DeviceSource {
public:
    explicit SimulatedSource(const std::string& logPath) : m_supply(logPath) {}

    HidPlatform& Platform() override { return m_supply.Platform(); }

private:
    SimulatedSupply m_supply;
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

std::unique_ptr<DeviceSource> MakeSimulatedSource(const std::string& logPath) {
    return std::make_unique<SimulatedSource>(logPath);
}

std::unique_ptr<DeviceSource> MakeDeviceSource(QtUiPlatform& ui) {
    return std::make_unique<SystemSource>(ui);
}
