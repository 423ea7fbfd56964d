#pragma once

#include "protocol/CCDataProcessing.h"

#include <array>
#include <cstdint>

// Builds input reports (report ID first) field by field, as the supply lays them out.
class TelemetryReport {
public:
    TelemetryReport& Set(int blockOffset, std::int32_t value) {
        const auto raw = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            m_report[1 + blockOffset + i] = static_cast<std::uint8_t>(raw >> (8 * i));
        }
        return *this;
    }
    // A healthy supply: every reading inside its band.
    static TelemetryReport Nominal() {
        TelemetryReport report;
        report.Set(TelemetryOffset::InputVoltage, 230)
            .Set(TelemetryOffset::InputCurrent, 1536)
            .Set(TelemetryOffset::InputPower, 320)
            .Set(TelemetryOffset::FanSpeed, 1200)
            .Set(TelemetryOffset::Rail5V, 514)
            .Set(TelemetryOffset::Rail12V, 966)
            .Set(TelemetryOffset::Rail5Vsb, 514)
            .Set(TelemetryOffset::Rail3V3, 340)
            .Set(TelemetryOffset::RailMinus12V, 520)
            .Set(TelemetryOffset::Temperature, 40)
            .Set(TelemetryOffset::Energy, 6000);
        return report;
    }
    const std::array<std::uint8_t, 65>& Bytes() const { return m_report; }
    std::array<std::uint8_t, 65>& Bytes() { return m_report; }

private:
    std::array<std::uint8_t, 65> m_report{};
};
