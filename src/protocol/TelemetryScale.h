#pragma once

// The raw units of the measurement block: what the supply counts per unit, shared by the decoder's caller and
// the virtual supply that encodes them.
namespace TelemetryScale {
inline constexpr double CountsPerVoltMinus12V = 43.26;
inline constexpr double CountsPerVolt12V = 80.46;
inline constexpr double CountsPerVolt3V3 = 102.99;
inline constexpr double CountsPerVolt5Vsb = 102.85;
inline constexpr double CountsPerVolt5V = 102.79;
inline constexpr double CountsPerAmp = 1024;
inline constexpr double CountsPerKwh = 6000;
} // namespace TelemetryScale
