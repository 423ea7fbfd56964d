#include "protocol/ReadingPipeline.h"

#include "support/RecordingDisplay.h"
#include "support/TelemetryReport.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

class ReadingPipelineTest : public testing::Test {
protected:
    // Runs one pass over the nominal report with one field replaced.
    void PassWith(int offset, std::int32_t value) { Pass(TelemetryReport::Nominal().Set(offset, value)); }
    void Pass(const TelemetryReport& report) { EXPECT_TRUE(pipeline.RunPass(report.Bytes(), noStop)); }
    std::vector<std::string> Warnings() const { return display.Warnings(); }

    CCDataProcessing processor;
    ReadingFlags flags;
    std::atomic<std::int32_t> connected{1};
    RecordingDisplay display;
    ReadingPipeline pipeline{processor, flags, connected, display};
    std::atomic<bool> noStop{false};
};

TEST_F(ReadingPipelineTest, WritesAndRefreshesEachLabelInPassOrder) {
    Pass(TelemetryReport::Nominal());
    std::vector<std::string> expected;
    const std::pair<int, const char*> labels[] = {
        {1066, "1200"}, {1036, "12.02"}, {1035, "12.01"}, {1039, "3.30"}, {1037, "5.00"}, {1038, "5.00"},
        {1058, "1.50"}, {1056, "230"},   {1059, "320"},   {1065, "40"},   {1057, "1.00"},
    };
    for (const auto& [id, text] : labels) {
        expected.push_back("text " + std::to_string(id) + " " + text);
        expected.push_back("refresh " + std::to_string(id));
    }
    EXPECT_EQ(display.Operations(), expected);
    EXPECT_EQ(processor.m_dataLength, 48);
}

struct RailCase {
    int offset;
    std::int32_t counts;
    int label;
    const char* text;
    std::int32_t flagWhenConnected;
};

class RailTable : public ReadingPipelineTest, public testing::WithParamInterface<RailCase> {
protected:
    std::int32_t FlagOf(int label) { return flags.FlagOfLabel(label)->load(); }
};

TEST_P(RailTable, ScalesClampsAndBandTests) {
    const RailCase& c = GetParam();
    PassWith(c.offset, c.counts);
    EXPECT_EQ(display.Text(c.label), c.text);
    EXPECT_EQ(FlagOf(c.label), c.flagWhenConnected);

    // Not connected: an out-of-band value leaves the flag as it was, an in-band value still clears it.
    connected = 0;
    PassWith(c.offset, c.counts);
    EXPECT_EQ(FlagOf(c.label), c.flagWhenConnected);
}

INSTANTIATE_TEST_SUITE_P(Rails, RailTable,
                         testing::Values(
                             // -12V is held inside 12.00..12.09, so its flag never rises.
                             RailCase{TelemetryOffset::RailMinus12V, 0, 1036, "12.00", 0},
                             RailCase{TelemetryOffset::RailMinus12V, 520, 1036, "12.02", 0},
                             RailCase{TelemetryOffset::RailMinus12V, 523, 1036, "12.09", 0},
                             RailCase{TelemetryOffset::RailMinus12V, 600, 1036, "12.09", 0},
                             RailCase{TelemetryOffset::RailMinus12V, -523, 1036, "12.00", 0},
                             RailCase{TelemetryOffset::Rail12V, 966, 1035, "12.01", 0},
                             RailCase{TelemetryOffset::Rail12V, 800, 1035, "9.94", 1},
                             RailCase{TelemetryOffset::Rail12V, 1100, 1035, "13.67", 1},
                             RailCase{TelemetryOffset::Rail3V3, 290, 1039, "2.82", 1},
                             RailCase{TelemetryOffset::Rail3V3, 380, 1039, "3.69", 1},
                             RailCase{TelemetryOffset::Rail5Vsb, 450, 1037, "4.38", 1},
                             RailCase{TelemetryOffset::Rail5Vsb, 570, 1037, "5.54", 1},
                             RailCase{TelemetryOffset::Rail5V, 460, 1038, "4.48", 1},
                             RailCase{TelemetryOffset::Rail5V, 0, 1038, "0.00", 1}));

TEST_F(ReadingPipelineTest, RailFlagClearsInsideTheBandEvenWhenNotConnected) {
    PassWith(TelemetryOffset::Rail12V, 800);
    ASSERT_EQ(flags.Rail12VOutOfBand, 1);
    connected = 0;
    PassWith(TelemetryOffset::Rail12V, 966);
    EXPECT_EQ(flags.Rail12VOutOfBand, 0);
}

TEST_F(ReadingPipelineTest, CurrentAndEnergyAreScaledInDoublePrecision) {
    Pass(TelemetryReport::Nominal()
             .Set(TelemetryOffset::InputCurrent, 2560)
             .Set(TelemetryOffset::Energy, 65536));
    EXPECT_EQ(display.Text(1058), "2.50");
    EXPECT_EQ(display.Text(1057), "10.92");
}

TEST_F(ReadingPipelineTest, FanSpeedIsShownAsDecodedEvenWhenNegative) {
    PassWith(TelemetryOffset::FanSpeed, -1);
    EXPECT_EQ(display.Text(1066), "-1");
}

struct AlarmCase {
    int offset;
    std::int32_t value;
    std::int32_t alarm;
};

class VoltageLimits : public ReadingPipelineTest, public testing::WithParamInterface<AlarmCase> {};

TEST_P(VoltageLimits, ClosedBandAndTheSixtyFiveVoltFloor) {
    const AlarmCase& c = GetParam();
    PassWith(c.offset, c.value);
    EXPECT_EQ(flags.InputVoltageAlarm, c.alarm);
    EXPECT_EQ(Warnings().size(), static_cast<std::size_t>(c.alarm));
}

INSTANTIATE_TEST_SUITE_P(InputVoltage, VoltageLimits,
                         testing::Values(AlarmCase{TelemetryOffset::InputVoltage, 100, 0},
                                         AlarmCase{TelemetryOffset::InputVoltage, 250, 0},
                                         AlarmCase{TelemetryOffset::InputVoltage, 99, 1},
                                         AlarmCase{TelemetryOffset::InputVoltage, 251, 1},
                                         AlarmCase{TelemetryOffset::InputVoltage, 66, 1},
                                         AlarmCase{TelemetryOffset::InputVoltage, 65, 0}));

TEST_F(ReadingPipelineTest, PowerAndTemperatureLimits) {
    PassWith(TelemetryOffset::InputPower, 650);
    PassWith(TelemetryOffset::Temperature, 60);
    EXPECT_EQ(flags.InputPowerAlarm, 0);
    EXPECT_EQ(flags.OverTemperatureAlarm, 0);
    EXPECT_TRUE(Warnings().empty());
    PassWith(TelemetryOffset::InputPower, 651);
    EXPECT_EQ(flags.InputPowerAlarm, 1);
    EXPECT_EQ(Warnings(), std::vector<std::string>{ReadingPipeline::kInputPowerWarning});
    display.Clear();
    PassWith(TelemetryOffset::Temperature, 61);
    EXPECT_EQ(flags.OverTemperatureAlarm, 1);
    EXPECT_EQ(Warnings(), std::vector<std::string>{ReadingPipeline::kOverTemperatureWarning});
}

TEST_F(ReadingPipelineTest, OneBoxPerExcursion) {
    PassWith(TelemetryOffset::InputVoltage, 260);
    PassWith(TelemetryOffset::InputVoltage, 260);
    EXPECT_EQ(Warnings().size(), 1u);
    EXPECT_EQ(flags.InputVoltageAlarmShown, 1);

    PassWith(TelemetryOffset::InputVoltage, 230);
    EXPECT_EQ(flags.InputVoltageAlarm, 0);
    EXPECT_EQ(flags.InputVoltageAlarmShown, 0);

    PassWith(TelemetryOffset::InputVoltage, 260);
    EXPECT_EQ(Warnings().size(), 2u);
}

TEST_F(ReadingPipelineTest, LowReadingNeitherRaisesNorEndsAVoltageAlarm) {
    PassWith(TelemetryOffset::InputVoltage, 260);
    PassWith(TelemetryOffset::InputVoltage, 50);
    Pass(TelemetryReport());
    EXPECT_EQ(flags.InputVoltageAlarm, 1);
    EXPECT_EQ(flags.InputVoltageAlarmShown, 1);
    EXPECT_EQ(Warnings().size(), 1u);
}

TEST_F(ReadingPipelineTest, BoxesComeInOrderTemperatureVoltagePower) {
    Pass(TelemetryReport::Nominal()
             .Set(TelemetryOffset::InputVoltage, 300)
             .Set(TelemetryOffset::InputPower, 900)
             .Set(TelemetryOffset::Temperature, 75));
    EXPECT_EQ(Warnings(), (std::vector<std::string>{ReadingPipeline::kOverTemperatureWarning,
                                                    ReadingPipeline::kInputVoltageWarning,
                                                    ReadingPipeline::kInputPowerWarning}));
    const auto operations = display.Operations();
    ASSERT_GE(operations.size(), 3u);
    EXPECT_EQ(operations[operations.size() - 4], "refresh 1057"); // boxes only after the last label
}

TEST_F(ReadingPipelineTest, NotConnectedSetsNoAlarmAndShowsNoBox) {
    for (std::int32_t notConnected : {0, 2, -1}) {
        connected = notConnected;
        PassWith(TelemetryOffset::Temperature, 75);
        EXPECT_EQ(flags.OverTemperatureAlarm, 0) << notConnected;
        EXPECT_TRUE(Warnings().empty()) << notConnected;
    }
}

TEST_F(ReadingPipelineTest, AlarmRaisedBeforeDisconnectSkipsItsBoxInsteadOfPostponingIt) {
    flags.OverTemperatureAlarm = 1; // raised, box not yet handled
    connected = 0;
    PassWith(TelemetryOffset::Temperature, 75);
    EXPECT_EQ(flags.OverTemperatureAlarmShown, 1);
    EXPECT_TRUE(Warnings().empty());
    connected = 1;
    PassWith(TelemetryOffset::Temperature, 75);
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(ReadingPipelineTest, EmptyReplyReadsAsZeros) {
    Pass(TelemetryReport::Nominal()
             .Set(TelemetryOffset::InputVoltage, 260)
             .Set(TelemetryOffset::Temperature, 75));
    Pass(TelemetryReport());
    const std::pair<int, const char*> expected[] = {
        {1066, "0"},    {1036, "12.00"}, {1035, "0.00"}, {1039, "0.00"}, {1037, "0.00"}, {1038, "0.00"},
        {1058, "0.00"}, {1056, "0"},     {1059, "0"},    {1065, "0"},    {1057, "0.00"}};
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(display.Text(id), text) << id;
    }
    EXPECT_EQ(flags.Rail12VOutOfBand, 1);
    EXPECT_EQ(flags.RailMinus12VOutOfBand, 0);
    EXPECT_EQ(flags.InputVoltageAlarm, 1);
    EXPECT_EQ(flags.OverTemperatureAlarm, 0);
    EXPECT_EQ(flags.OverTemperatureAlarmShown, 0);
}

// A pipeline over state of its own, connected, with a display made of args.
template <typename Display> struct PipelineOver {
    template <typename... Args>
    explicit PipelineOver(Args&&... args) : display(std::forward<Args>(args)...) {}
    CCDataProcessing processor;
    ReadingFlags flags;
    std::atomic<std::int32_t> connected{1};
    Display display;
    ReadingPipeline pipeline{processor, flags, connected, display};
};

// Notes how many operations had come when the pass declared its readings written; can bring a stop request
// then, as when the window closes while it carries them out.
class EndNotingDisplay : public RecordingDisplay {
public:
    explicit EndNotingDisplay(std::atomic<bool>& stop, bool stopAtEnd)
        : m_stop(stop), m_stopAtEnd(stopAtEnd) {}
    void EndReadings() override {
        ends.push_back(Operations().size());
        if (m_stopAtEnd) {
            m_stop = true;
        }
    }
    std::vector<std::size_t> ends;

private:
    std::atomic<bool>& m_stop;
    bool m_stopAtEnd;
};

TEST(ReadingPipelineEnd, TheReadingsEndOnceAfterTheLastLabelAndBeforeTheBoxes) {
    for (const bool stopAtEnd : {false, true}) {
        std::atomic<bool> stop{false};
        PipelineOver<EndNotingDisplay> pass(stop, stopAtEnd);
        const auto report = TelemetryReport::Nominal().Set(TelemetryOffset::Temperature, 75);

        EXPECT_EQ(pass.pipeline.RunPass(report.Bytes(), stop), !stopAtEnd);

        EXPECT_EQ(pass.display.ends, std::vector<std::size_t>{22}) << stopAtEnd;
        // The temperature's box comes after the readings, unless the stop came first.
        EXPECT_EQ(pass.display.Warnings().size(), stopAtEnd ? 0u : 1u) << stopAtEnd;
    }
}

// A display whose n-th operation brings a stop request, as when the window closes during a pass.
class StoppingDisplay : public RecordingDisplay {
public:
    StoppingDisplay(std::atomic<bool>& stop, int stopAt) : m_stop(stop), m_stopAt(stopAt) {}
    void SetLabelText(int id, const std::string& text) override {
        RecordingDisplay::SetLabelText(id, text);
        Count();
    }
    void RefreshLabelArea(int id) override {
        RecordingDisplay::RefreshLabelArea(id);
        Count();
    }
    void ShowWarning(const std::string& text) override {
        RecordingDisplay::ShowWarning(text);
        Count();
    }

private:
    void Count() {
        if (++m_seen == m_stopAt) {
            m_stop = true;
        }
    }
    std::atomic<bool>& m_stop;
    int m_stopAt;
    int m_seen = 0;
};

TEST(ReadingPipelineStop, AStopRequestEndsThePassAtTheNextDisplayOperation) {
    for (int stopAt : {1, 2, 7, 22, 23}) {
        std::atomic<bool> stop{false};
        PipelineOver<StoppingDisplay> pass(stop, stopAt);
        const auto report = TelemetryReport::Nominal()
                                .Set(TelemetryOffset::Temperature, 75)
                                .Set(TelemetryOffset::InputPower, 900);
        EXPECT_FALSE(pass.pipeline.RunPass(report.Bytes(), stop)) << stopAt;
        EXPECT_EQ(pass.display.Operations().size(), static_cast<std::size_t>(stopAt)) << stopAt;
    }
}

} // namespace
