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

#include <cstdint>
#include <fstream>
#include <string>

namespace {

// One output report as the log line of --simulate-log.
std::string HexLine(const VirtualPowerSupply::Bytes& report) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    for (const std::uint8_t byte : report) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line + "\n";
}

class SimulatedSource final : public DeviceSource {
public:
    explicit SimulatedSource(const std::string& logPath) {
        m_platform.AddSupply();
        if (!logPath.empty()) {
            m_log.open(logPath, std::ios::trunc);
            QObject::connect(&m_logClock, &QTimer::timeout, [this] { WriteNewReports(); });
            m_logClock.start(100);
        }
        m_sinceLastStep.start();
        // Once a second is fine enough for a model whose temperature takes minutes to move.
        QObject::connect(&m_clock, &QTimer::timeout, [this] {
            const int elapsedMs = static_cast<int>(m_sinceLastStep.restart());
            m_platform.WithSupply([elapsedMs](VirtualPowerSupply& supply) { supply.Advance(elapsedMs); });
        });
        m_clock.start(1000);
    }

    ~SimulatedSource() override { WriteNewReports(); }

    HidPlatform& Platform() override { return m_platform; }

private:
    void WriteNewReports() {
        if (!m_log.is_open()) {
            return;
        }
        m_platform.WithSupply([this](VirtualPowerSupply& supply) {
            const auto& received = supply.ReceivedReports();
            for (; m_logged < received.size(); ++m_logged) {
                m_log << HexLine(received[m_logged]);
            }
        });
        m_log.flush();
    }

    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
    QElapsedTimer m_sinceLastStep;
    QTimer m_clock;
    std::ofstream m_log;
    std::size_t m_logged = 0;
    QTimer m_logClock;
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
