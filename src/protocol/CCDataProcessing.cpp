#include "protocol/CCDataProcessing.h"

std::int32_t CCDataProcessing::FieldAt(int offset) const {
    const std::uint32_t value = static_cast<std::uint32_t>(m_data[offset]) |
                                static_cast<std::uint32_t>(m_data[offset + 1]) << 8 |
                                static_cast<std::uint32_t>(m_data[offset + 2]) << 16 |
                                static_cast<std::uint32_t>(m_data[offset + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

double CCDataProcessing::GetEnergy(double divisor) const {
    return FieldAt(TelemetryOffset::Energy) / divisor;
}

double CCDataProcessing::GetTemperature() const {
    return FieldAt(TelemetryOffset::Temperature);
}

double CCDataProcessing::GetRailMinus12V(double divisor) const {
    return FieldAt(TelemetryOffset::RailMinus12V) / divisor;
}

double CCDataProcessing::GetRail3V3(double divisor) const {
    return FieldAt(TelemetryOffset::Rail3V3) / divisor;
}

double CCDataProcessing::GetRail5Vsb(double divisor) const {
    return FieldAt(TelemetryOffset::Rail5Vsb) / divisor;
}

double CCDataProcessing::GetRail12V(double divisor) const {
    return FieldAt(TelemetryOffset::Rail12V) / divisor;
}

double CCDataProcessing::GetRail5V(double divisor) const {
    return FieldAt(TelemetryOffset::Rail5V) / divisor;
}

std::int32_t CCDataProcessing::GetFanSpeed() const {
    return FieldAt(TelemetryOffset::FanSpeed);
}

double CCDataProcessing::GetInputPower() const {
    return FieldAt(TelemetryOffset::InputPower);
}

double CCDataProcessing::GetInputCurrent(double divisor) const {
    return FieldAt(TelemetryOffset::InputCurrent) / divisor;
}

double CCDataProcessing::GetInputVoltage() const {
    return FieldAt(TelemetryOffset::InputVoltage);
}
