// Arbitrary input reports through the reading pipeline, pass after pass, with the supply coming and going:
// every label shows a printable text that reads as its field's value, -12V stays inside 12.00..12.09, the
// warn flags follow their bands and each warning box comes once per excursion, and only while connected.
#include "protocol/CCDataProcessing.h"
#include "protocol/ReadingPipeline.h"
#include "protocol/TelemetryScale.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

class NotingDisplay final : public ReadingDisplay {
public:
    void SetLabelText(int controlId, const std::string& text) override { texts[controlId] = text; }
    void RefreshLabelArea(int controlId) override {
        Require(texts.count(controlId) == 1, "a label is refreshed after its text is set");
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }

    std::map<int, std::string> texts;
    std::vector<std::string> warnings;
};

std::int32_t FieldOf(const ReadingPipeline::Report& report, int offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | report[1 + offset + i];
    }
    return static_cast<std::int32_t>(value);
}

// The text reads back as value to the precision it was printed with.
void CheckNumber(const std::string& text, double value, int decimals) {
    for (const char c : text) {
        Require(c >= 0x20 && c < 0x7F, "a reading's text is printable");
    }
    char* end = nullptr;
    const double shown = std::strtod(text.c_str(), &end);
    Require(!text.empty() && *end == '\0', "a reading's text is a number");
    // Half a unit of the last printed digit, and float's rounding of the value.
    const double tolerance = 0.5 * std::pow(10.0, -decimals) + std::fabs(value) * 1e-6 + 1e-9;
    Require(std::fabs(shown - value) <= tolerance, "a reading's text shows its value");
}

struct Alarm {
    std::atomic<std::int32_t>& alarm;
    std::atomic<std::int32_t>& shown;
    const char* text;
    bool normal;
    bool raise;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Per pass: one byte whose bit 0 says whether the supply is connected, then the 64 bytes after the report
    // ID.
    constexpr std::size_t kPassSize = 65;
    CCDataProcessing processor;
    ReadingFlags flags;
    std::atomic<std::int32_t> connected{0};
    NotingDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    const std::atomic<bool> noStop{false};

    for (std::size_t at = 0; at + kPassSize <= size; at += kPassSize) {
        const bool isConnected = (data[at] & 1) != 0;
        connected = isConnected ? 1 : 0;
        ReadingPipeline::Report report{};
        std::copy_n(data + at + 1, 64, report.begin() + 1);

        struct Rail {
            int label;
            int offset;
            double countsPerVolt, low, high;
            std::atomic<std::int32_t>& flag;
        };
        Rail rails[] = {
            {LabelRail12V, TelemetryOffset::Rail12V, TelemetryScale::CountsPerVolt12V, 10.8, 13.2,
             flags.Rail12VOutOfBand},
            {LabelRail3V3, TelemetryOffset::Rail3V3, TelemetryScale::CountsPerVolt3V3, 2.97, 3.63,
             flags.Rail3V3OutOfBand},
            {LabelRail5Vsb, TelemetryOffset::Rail5Vsb, TelemetryScale::CountsPerVolt5Vsb, 4.5, 5.5,
             flags.Rail5VsbOutOfBand},
            {LabelRail5V, TelemetryOffset::Rail5V, TelemetryScale::CountsPerVolt5V, 4.5, 5.5,
             flags.Rail5VOutOfBand},
        };
        std::vector<std::int32_t> railFlagsBefore;
        for (const Rail& rail : rails) {
            railFlagsBefore.push_back(rail.flag);
        }
        const auto field = [&](int offset) { return static_cast<float>(FieldOf(report, offset)); };
        Alarm alarms[] = {
            // In the order the boxes come.
            {flags.OverTemperatureAlarm, flags.OverTemperatureAlarmShown,
             ReadingPipeline::kOverTemperatureWarning, field(TelemetryOffset::Temperature) <= 60, true},
            {flags.InputVoltageAlarm, flags.InputVoltageAlarmShown, ReadingPipeline::kInputVoltageWarning,
             field(TelemetryOffset::InputVoltage) >= 100 && field(TelemetryOffset::InputVoltage) <= 250,
             field(TelemetryOffset::InputVoltage) > 65},
            {flags.InputPowerAlarm, flags.InputPowerAlarmShown, ReadingPipeline::kInputPowerWarning,
             field(TelemetryOffset::InputPower) <= 650, true},
        };
        std::vector<std::pair<std::int32_t, std::int32_t>> alarmsBefore;
        for (const Alarm& alarm : alarms) {
            alarmsBefore.emplace_back(alarm.alarm, alarm.shown);
        }

        display.texts.clear();
        display.warnings.clear();
        Require(pipeline.RunPass(report, noStop), "a pass without a stop request runs to its end");
        Require(display.texts.size() == 11, "a pass shows all eleven readings");
        Require(processor.m_dataLength == CCDataProcessing::kBlockSize,
                "the pass takes one measurement block");

        const std::string& minus12V = display.texts[LabelRailMinus12V];
        Require(minus12V.size() == 5 && minus12V.starts_with("12.0") && minus12V[4] >= '0' &&
                    minus12V[4] <= '9',
                "the -12V text is within 12.00..12.09");
        Require(flags.RailMinus12VOutOfBand == 0, "the -12V reading never leaves its band");
        Require(display.texts[LabelFanSpeed] == std::to_string(FieldOf(report, TelemetryOffset::FanSpeed)),
                "the fan speed is the field's integer");

        for (std::size_t i = 0; i < std::size(rails); ++i) {
            const Rail& rail = rails[i];
            const auto volts = static_cast<float>(FieldOf(report, rail.offset) / rail.countsPerVolt);
            CheckNumber(display.texts[rail.label], volts, 2);
            const bool inBand = volts >= rail.low && volts <= rail.high;
            const std::int32_t expected = inBand ? 0 : isConnected ? 1 : railFlagsBefore[i];
            Require(rail.flag == expected, "a rail's flag: clear in band, set out of it while connected");
        }
        CheckNumber(display.texts[LabelInputCurrent],
                    FieldOf(report, TelemetryOffset::InputCurrent) / TelemetryScale::CountsPerAmp, 2);
        CheckNumber(display.texts[LabelEnergy],
                    FieldOf(report, TelemetryOffset::Energy) / TelemetryScale::CountsPerKwh, 2);
        CheckNumber(display.texts[LabelInputVoltage], field(TelemetryOffset::InputVoltage), 0);
        CheckNumber(display.texts[LabelInputPower], field(TelemetryOffset::InputPower), 0);
        CheckNumber(display.texts[LabelTemperature], field(TelemetryOffset::Temperature), 0);

        std::vector<std::string> expectedWarnings;
        for (std::size_t i = 0; i < std::size(alarms); ++i) {
            const Alarm& alarm = alarms[i];
            const auto [alarmBefore, shownBefore] = alarmsBefore[i];
            const std::int32_t raised = alarm.normal ? 0 : alarm.raise && isConnected ? 1 : alarmBefore;
            Require(alarm.alarm == raised,
                    "an alarm ends in its normal range and rises outside it while connected");
            // The box of an excursion comes once; the latch is set even when nobody is there to see it.
            const bool due = raised == 1 && (alarm.normal ? 0 : shownBefore) == 0;
            Require(alarm.shown == (alarm.normal ? 0
                                    : due        ? 1
                                                 : shownBefore),
                    "a box's latch follows its alarm");
            if (due && isConnected) {
                expectedWarnings.emplace_back(alarm.text);
            }
        }
        Require(display.warnings == expectedWarnings,
                "the boxes due come once each, in order, while connected");
    }
    return 0;
}
