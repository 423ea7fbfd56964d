#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <vector>

// A model of the supply's controller: it takes 65-byte output reports (report ID first) and answers each
// command frame with an input report whose bytes 1..48 hold the measurement block in raw units. Time passes
// only through Advance() and the noise comes from a seeded generator through arithmetic of our own, so the
// same calls with the same seed give the same bytes with every compiler and standard library.
//
// Not thread-safe: one thread at a time (VirtualHidPlatform calls it under its own lock).
class VirtualPowerSupply {
public:
    static constexpr std::uint32_t kDefaultSeed = 5489;
    static constexpr int kReportBytes = 65;
    // The smart program never runs the fan slower; a TempControl request below it has no effect.
    static constexpr int kLowestSmartRpm = 800;
    static constexpr int kHighestRpm = 2200;
    static constexpr double kDefaultLoadWatts = 250;
    static constexpr double kAmbientCelsius = 25;
    // How many of the latest output reports are kept by default: enough for a test to look at, and flat in
    // memory however long a simulated run polls. A run that logs every report keeps them until taken.
    static constexpr std::size_t kKeptReports = 1000;
    static constexpr std::size_t kKeepUntilTaken = std::numeric_limits<std::size_t>::max();

    using Bytes = std::vector<std::uint8_t>;

    enum class Rail { Plus12V, Minus12V, Plus5V, Plus5Vsb, Plus3V3 };
    static constexpr int kRailCount = 5;

    enum class ReplyKind {
        Normal,  // the 65-byte report with the measurement block
        None,    // no reply at all
        Short,   // only the first bytes of the normal reply
        Garbage, // 65 random bytes
    };

    explicit VirtualPowerSupply(std::uint32_t seed = kDefaultSeed, std::size_t keptReports = kKeptReports);

    // The reply to one output report; empty when the supply does not answer. Every report is logged, also
    // those it ignores (anything whose bytes 1..2 are not AA 7E).
    Bytes HandleOutputReport(std::span<const std::uint8_t> report);
    void Advance(int elapsedMs);

    // Scripting. A forced value is reported exactly, without noise; nullopt returns to the modelled value.
    void SetLoad(double watts);
    void ForceTemperature(std::optional<int> celsius);
    void ForceInputVoltage(std::optional<int> volts);
    void ForceRail(Rail rail, std::optional<double> volts);
    // How the following frames are answered (the frames still take effect); shortBytes only for Short.
    void ScriptReply(ReplyKind kind, int shortBytes = 0);

    // The output reports kept, byte for byte, oldest first.
    std::vector<Bytes> ReceivedReports() const { return {m_received.begin(), m_received.end()}; }
    // Hands over the reports kept so far and forgets them.
    std::vector<Bytes> TakeReceivedReports();
    // Eco (0) or TempControl (1), as the last frame selected.
    std::int32_t Program() const { return m_program; }
    // The speed the fan runs at now, before measurement noise.
    int FanRpm() const;
    double TemperatureCelsius() const { return m_temperatureCelsius; }
    double EnergyKwh() const;

private:
    void ApplyFrame(std::span<const std::uint8_t> frame);
    void Step(int elapsedMs);
    int SmartRpm() const;
    double TargetTemperature() const;
    Bytes MeasurementReport();
    Bytes GarbageReport();
    // Uniform in [-amplitude, amplitude), from one raw 32-bit draw.
    double Noise(double amplitude);

    std::mt19937 m_random;
    const std::size_t m_keptReports;
    std::deque<Bytes> m_received;

    std::int32_t m_program = 0;
    int m_heldRpm = kLowestSmartRpm;
    double m_loadWatts = kDefaultLoadWatts;
    double m_temperatureCelsius;
    // Energy is summed per stretch of constant load, so that how time is cut into Advance() calls does not
    // change the rounding.
    double m_settledKwh = 0;
    std::int64_t m_msAtLoad = 0;
    int m_unsteppedMs = 0;

    std::optional<int> m_forcedTemperature;
    std::optional<int> m_forcedInputVoltage;
    std::array<std::optional<double>, kRailCount> m_forcedRails{};

    ReplyKind m_replyKind = ReplyKind::Normal;
    int m_shortBytes = 0;
};
