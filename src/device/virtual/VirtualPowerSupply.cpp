#include "device/virtual/VirtualPowerSupply.h"

#include "protocol/CCDataProcessing.h"
#include "protocol/CommandFrame.h"
#include "protocol/TelemetryScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

// Only +, -, *, / and lround are used on doubles: they are exactly rounded everywhere, unlike exp or the
// std distributions, so Linux and Windows builds compute the same readings.

namespace {

constexpr std::uint8_t kEcoCommand = 0x80;
constexpr std::uint8_t kTempControlCommand = 0x82;
constexpr std::uint8_t kClearEnergy = 1;

constexpr double kMainsVolts = 230;
constexpr double kPowerFactor = 0.97;
constexpr double kWattMsPerKwh = 3.6e9;

// Temperature: a first-order lag towards a target set by load and fan, updated once per simulated second.
constexpr int kThermalStepMs = 1000;
constexpr double kThermalTimeConstantMs = 180000;
constexpr double kCelsiusPerWatt = 0.05;
constexpr double kCelsiusPerRpmAboveLowest = 0.005;

// The smart program: lowest speed up to 35 °C, then linear up to the highest speed at 60 °C.
constexpr double kSmartStartCelsius = 35;
constexpr double kSmartFullCelsius = 60;

struct RailModel {
    double nominalVolts;
    double countsPerVolt;
    int blockOffset;
};

// Indexed by VirtualPowerSupply::Rail.
constexpr std::array<RailModel, VirtualPowerSupply::kRailCount> kRails = {{
    {12.05, TelemetryScale::CountsPerVolt12V, TelemetryOffset::Rail12V},
    {12.03, TelemetryScale::CountsPerVoltMinus12V, TelemetryOffset::RailMinus12V},
    {5.01, TelemetryScale::CountsPerVolt5V, TelemetryOffset::Rail5V},
    {5.02, TelemetryScale::CountsPerVolt5Vsb, TelemetryOffset::Rail5Vsb},
    {3.31, TelemetryScale::CountsPerVolt3V3, TelemetryOffset::Rail3V3},
}};

void PutField(VirtualPowerSupply::Bytes& report, int blockOffset, std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        report[static_cast<std::size_t>(1 + blockOffset + i)] = static_cast<std::uint8_t>(raw >> (8 * i));
    }
}

std::int32_t Round(double value) {
    return static_cast<std::int32_t>(std::lround(value));
}

} // namespace

VirtualPowerSupply::VirtualPowerSupply(std::uint32_t seed, std::size_t keptReports)
    : m_random(seed), m_keptReports(keptReports) {
    // Start settled at the default load, as a supply that has been running for a while.
    m_temperatureCelsius = kAmbientCelsius;
    for (int i = 0; i < 50; ++i) {
        m_temperatureCelsius = TargetTemperature();
    }
}

double VirtualPowerSupply::Noise(double amplitude) {
    const double unit = static_cast<double>(m_random()) / 4294967296.0;
    return (2 * unit - 1) * amplitude;
}

int VirtualPowerSupply::SmartRpm() const {
    const double span = kHighestRpm - kLowestSmartRpm;
    const double above =
        (m_temperatureCelsius - kSmartStartCelsius) / (kSmartFullCelsius - kSmartStartCelsius);
    return Round(kLowestSmartRpm + std::clamp(above, 0.0, 1.0) * span);
}

int VirtualPowerSupply::FanRpm() const {
    return m_program == TempControl ? m_heldRpm : SmartRpm();
}

double VirtualPowerSupply::TargetTemperature() const {
    return kAmbientCelsius + m_loadWatts * kCelsiusPerWatt -
           (FanRpm() - kLowestSmartRpm) * kCelsiusPerRpmAboveLowest;
}

void VirtualPowerSupply::Step(int elapsedMs) {
    const double share = elapsedMs / (kThermalTimeConstantMs + elapsedMs);
    m_temperatureCelsius += (TargetTemperature() - m_temperatureCelsius) * share;
}

void VirtualPowerSupply::Advance(int elapsedMs) {
    if (elapsedMs <= 0) {
        return;
    }
    m_msAtLoad += elapsedMs;
    // Whole thermal steps only, so that Advance(5000) and five Advance(1000) end in the same state.
    m_unsteppedMs += elapsedMs;
    while (m_unsteppedMs >= kThermalStepMs) {
        Step(kThermalStepMs);
        m_unsteppedMs -= kThermalStepMs;
    }
}

double VirtualPowerSupply::EnergyKwh() const {
    return m_settledKwh + m_loadWatts * static_cast<double>(m_msAtLoad) / kWattMsPerKwh;
}

void VirtualPowerSupply::SetLoad(double watts) {
    m_settledKwh = EnergyKwh();
    m_msAtLoad = 0;
    m_loadWatts = std::max(0.0, watts);
}

void VirtualPowerSupply::ForceTemperature(std::optional<int> celsius) {
    m_forcedTemperature = celsius;
}

void VirtualPowerSupply::ForceInputVoltage(std::optional<int> volts) {
    m_forcedInputVoltage = volts;
}

void VirtualPowerSupply::ForceRail(Rail rail, std::optional<double> volts) {
    m_forcedRails[static_cast<std::size_t>(rail)] = volts;
}

void VirtualPowerSupply::ScriptReply(ReplyKind kind, int shortBytes) {
    m_replyKind = kind;
    m_shortBytes = std::clamp(shortBytes, 0, kReportBytes);
}

void VirtualPowerSupply::ApplyFrame(std::span<const std::uint8_t> frame) {
    if (frame[2] == kEcoCommand) {
        m_program = Eco;
    } else if (frame[2] == kTempControlCommand) {
        if (m_program != TempControl) {
            // The fan carries on at the speed the smart program gave it until a speed is requested.
            m_heldRpm = SmartRpm();
            m_program = TempControl;
        }
        // Speed 0 is the plain TempControl poll: no new request, the held speed stays.
        const int requested = frame[3] | frame[4] << 8;
        if (requested >= kLowestSmartRpm) {
            m_heldRpm = std::min(requested, kHighestRpm);
        }
    }
    // Sub-commands 2 and 3 (and any other) are accepted and do nothing.
    if (frame[5] == kClearEnergy) {
        m_settledKwh = 0;
        m_msAtLoad = 0;
    }
}

std::vector<VirtualPowerSupply::Bytes> VirtualPowerSupply::TakeReceivedReports() {
    std::vector<Bytes> taken(std::make_move_iterator(m_received.begin()),
                             std::make_move_iterator(m_received.end()));
    m_received.clear();
    return taken;
}

VirtualPowerSupply::Bytes VirtualPowerSupply::HandleOutputReport(std::span<const std::uint8_t> report) {
    m_received.emplace_back(report.begin(), report.end());
    if (m_received.size() > m_keptReports) {
        m_received.pop_front();
    }
    // Byte 0 is the report ID; the frame follows it.
    if (report.size() < 7 || report[1] != 0xAA || report[2] != 0x7E) {
        return {};
    }
    ApplyFrame(report.subspan(1, 6));
    switch (m_replyKind) {
    case ReplyKind::Normal:
        return MeasurementReport();
    case ReplyKind::None:
        return {};
    case ReplyKind::Short: {
        Bytes reply = MeasurementReport();
        reply.resize(static_cast<std::size_t>(m_shortBytes));
        return reply;
    }
    case ReplyKind::Garbage:
        return GarbageReport();
    }
    return {};
}

VirtualPowerSupply::Bytes VirtualPowerSupply::MeasurementReport() {
    Bytes report(kReportBytes, 0);
    // Every noise value is drawn even when its reading is forced, so forcing one reading leaves the others'
    // noise as it was.
    const double voltageNoise = Noise(1.5);
    const double powerNoise = Noise(2);
    const double temperatureNoise = Noise(0.4);
    const double fanNoise = Noise(5);

    const std::int32_t volts = m_forcedInputVoltage.value_or(Round(kMainsVolts + voltageNoise));
    const std::int32_t watts = std::max(0, Round(m_loadWatts + powerNoise));
    const double amps = volts > 0 ? watts / (volts * kPowerFactor) : 0.0;
    PutField(report, TelemetryOffset::InputVoltage, volts);
    PutField(report, TelemetryOffset::InputCurrent, Round(amps * TelemetryScale::CountsPerAmp));
    PutField(report, TelemetryOffset::InputPower, watts);
    PutField(report, TelemetryOffset::FanSpeed, Round(FanRpm() + fanNoise));
    PutField(report, TelemetryOffset::Temperature,
             m_forcedTemperature.value_or(Round(m_temperatureCelsius + temperatureNoise)));
    PutField(report, TelemetryOffset::Energy,
             static_cast<std::int32_t>(EnergyKwh() * TelemetryScale::CountsPerKwh));

    for (std::size_t i = 0; i < kRails.size(); ++i) {
        const double railNoise = Noise(0.015);
        const double railVolts = m_forcedRails[i].value_or(kRails[i].nominalVolts + railNoise);
        PutField(report, kRails[i].blockOffset, Round(railVolts * kRails[i].countsPerVolt));
    }
    return report;
}

VirtualPowerSupply::Bytes VirtualPowerSupply::GarbageReport() {
    Bytes report(kReportBytes);
    for (auto& byte : report) {
        byte = static_cast<std::uint8_t>(m_random() & 0xFF);
    }
    return report;
}
