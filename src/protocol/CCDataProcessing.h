#pragma once

#include <array>
#include <cstdint>

// One copy of the 48-byte measurement block of a reply (report bytes 1 to 48) and its eleven fields. It has
// no scaling policy: where a field needs a scale the caller passes the divisor.
class CCDataProcessing {
public:
    static constexpr int kBlockSize = 48;

    virtual ~CCDataProcessing() = default;

    virtual double GetEnergy(double divisor) const;
    virtual double GetTemperature() const;
    virtual double GetRailMinus12V(double divisor) const;
    virtual double GetRail3V3(double divisor) const;
    virtual double GetRail5Vsb(double divisor) const;
    virtual double GetRail12V(double divisor) const;
    virtual double GetRail5V(double divisor) const;
    virtual std::int32_t GetFanSpeed() const;
    virtual double GetInputPower() const;
    virtual double GetInputCurrent(double divisor) const;
    virtual double GetInputVoltage() const;

    std::array<std::uint8_t, 1024> m_data{};
    std::int32_t m_dataLength = 0;

private:
    // Little-endian two's complement; the fields are not aligned.
    std::int32_t FieldAt(int offset) const;
};

// Block offsets of the fields.
namespace TelemetryOffset {
inline constexpr int InputVoltage = 3;
inline constexpr int InputCurrent = 7;
inline constexpr int InputPower = 11;
inline constexpr int FanSpeed = 15;
inline constexpr int Rail5V = 20;
inline constexpr int Rail12V = 24;
inline constexpr int Rail5Vsb = 28;
inline constexpr int Rail3V3 = 32;
inline constexpr int RailMinus12V = 36;
inline constexpr int Temperature = 40;
inline constexpr int Energy = 44;
} // namespace TelemetryOffset
