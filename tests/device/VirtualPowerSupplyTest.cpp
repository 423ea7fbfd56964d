#include "device/virtual/VirtualPowerSupply.h"

#include "protocol/CCDataProcessing.h"
#include "protocol/CommandFrame.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using Bytes = VirtualPowerSupply::Bytes;

constexpr std::uint8_t kEco = 0x80;
constexpr std::uint8_t kTempControl = 0x82;
constexpr int kMinuteMs = 60 * 1000;
constexpr int kHourMs = 60 * kMinuteMs;

// A 65-byte output report carrying one command frame, as the channel writes it.
Bytes Frame(std::uint8_t command, int rpm = 0, std::uint8_t subCommand = 0) {
    Bytes report(VirtualPowerSupply::kReportBytes, 0);
    const Bytes frame = {0xAA,
                         0x7E,
                         command,
                         static_cast<std::uint8_t>(rpm & 0xFF),
                         static_cast<std::uint8_t>((rpm >> 8) & 0xFF),
                         subCommand};
    std::copy(frame.begin(), frame.end(), report.begin() + 1);
    return report;
}

CCDataProcessing Decode(const Bytes& reply) {
    CCDataProcessing block;
    std::copy_n(reply.begin() + 1, CCDataProcessing::kBlockSize, block.m_data.begin());
    return block;
}

std::int32_t FieldOf(const Bytes& reply, int offset) {
    std::uint32_t raw = 0;
    for (int i = 3; i >= 0; --i) {
        raw = raw << 8 | reply[static_cast<std::size_t>(1 + offset + i)];
    }
    return static_cast<std::int32_t>(raw);
}

TEST(VirtualPowerSupplyTest, AnswersAPollWithTheBlockInRawUnits) {
    VirtualPowerSupply supply;
    const Bytes reply = supply.HandleOutputReport(Frame(kEco));
    ASSERT_EQ(reply.size(), 65u);
    EXPECT_EQ(reply[0], 0);
    // The bytes that carry no field stay zero.
    for (const std::size_t unused : {1u, 2u, 3u, 20u}) {
        EXPECT_EQ(reply[unused], 0) << unused;
    }
    EXPECT_TRUE(std::all_of(reply.begin() + 49, reply.end(), [](std::uint8_t byte) { return byte == 0; }));

    const CCDataProcessing block = Decode(reply);
    EXPECT_NEAR(block.GetInputVoltage(), 230, 2);
    EXPECT_NEAR(block.GetInputPower(), VirtualPowerSupply::kDefaultLoadWatts, 2);
    EXPECT_NEAR(block.GetInputCurrent(1024) * block.GetInputVoltage() * 0.97, block.GetInputPower(), 1);
    EXPECT_NEAR(block.GetRail12V(80.46), 12.05, 0.03);
    EXPECT_NEAR(block.GetRailMinus12V(43.26), 12.03, 0.04);
    EXPECT_NEAR(block.GetRail5V(102.79), 5.01, 0.03);
    EXPECT_NEAR(block.GetRail5Vsb(102.85), 5.02, 0.03);
    EXPECT_NEAR(block.GetRail3V3(102.99), 3.31, 0.03);
    EXPECT_NEAR(block.GetTemperature(), supply.TemperatureCelsius(), 1);
    EXPECT_NEAR(block.GetFanSpeed(), supply.FanRpm(), 5);
    EXPECT_EQ(block.GetEnergy(6000), 0);
}

TEST(VirtualPowerSupplyTest, IgnoresReportsThatDoNotCarryAFrameButLogsThem) {
    VirtualPowerSupply supply;
    Bytes wrongStart = Frame(kTempControl, 1500);
    wrongStart[1] = 0xAB;
    Bytes wrongSecond = Frame(kTempControl, 1500);
    wrongSecond[2] = 0x7F;
    const Bytes frame = Frame(kTempControl, 1500);
    const Bytes withoutReportId(frame.begin() + 1, frame.end());
    const Bytes tooShort = {0x00, 0xAA, 0x7E, 0x82};

    for (const Bytes& report : {wrongStart, wrongSecond, withoutReportId, tooShort}) {
        EXPECT_TRUE(supply.HandleOutputReport(report).empty());
    }
    EXPECT_EQ(supply.ReceivedReports(),
              (std::vector<Bytes>{wrongStart, wrongSecond, withoutReportId, tooShort}));
    EXPECT_EQ(supply.Program(), Eco);
}

// Report number i, numbered report 1 so that it never carries a frame.
Bytes Numbered(std::size_t i) {
    return {0x01, static_cast<std::uint8_t>(i & 0xFF), static_cast<std::uint8_t>(i >> 8)};
}

TEST(VirtualPowerSupplyTest, KeepsOnlyTheLatestReportsHoweverManyArrive) {
    VirtualPowerSupply supply;
    constexpr std::size_t kSent = 3 * VirtualPowerSupply::kKeptReports + 7;
    for (std::size_t i = 0; i < kSent; ++i) {
        supply.HandleOutputReport(Numbered(i));
    }
    const std::vector<Bytes> kept = supply.ReceivedReports();
    ASSERT_EQ(kept.size(), VirtualPowerSupply::kKeptReports);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        ASSERT_EQ(kept[k], Numbered(kSent - VirtualPowerSupply::kKeptReports + k)) << k;
    }
}

TEST(VirtualPowerSupplyTest, KeptUntilTakenEveryReportIsHandedOverOnceInOrder) {
    VirtualPowerSupply supply(VirtualPowerSupply::kDefaultSeed, VirtualPowerSupply::kKeepUntilTaken);
    std::size_t sent = 0;
    // A first batch longer than the default window, then a short one.
    for (const std::size_t batch : {2 * VirtualPowerSupply::kKeptReports, std::size_t{5}}) {
        const std::size_t first = sent;
        for (; sent < first + batch; ++sent) {
            supply.HandleOutputReport(Numbered(sent));
        }
        const std::vector<Bytes> taken = supply.TakeReceivedReports();
        ASSERT_EQ(taken.size(), batch);
        for (std::size_t k = 0; k < batch; ++k) {
            ASSERT_EQ(taken[k], Numbered(first + k)) << k;
        }
        EXPECT_TRUE(supply.ReceivedReports().empty());
    }
}

TEST(VirtualPowerSupplyTest, EcoFanFollowsTheTemperatureWhichFollowsTheLoadWithLag) {
    VirtualPowerSupply supply;
    supply.SetLoad(100);
    supply.Advance(kHourMs);
    EXPECT_EQ(supply.FanRpm(), VirtualPowerSupply::kLowestSmartRpm);
    const double coolCelsius = supply.TemperatureCelsius();

    supply.SetLoad(700);
    supply.Advance(5000);
    EXPECT_LT(supply.TemperatureCelsius() - coolCelsius, 1.5);

    int previousRpm = supply.FanRpm();
    for (int minute = 0; minute < 30; ++minute) {
        supply.Advance(kMinuteMs);
        const Bytes reply = supply.HandleOutputReport(Frame(kEco));
        EXPECT_GE(FieldOf(reply, TelemetryOffset::FanSpeed), VirtualPowerSupply::kLowestSmartRpm - 5);
        EXPECT_GE(supply.FanRpm(), previousRpm);
        previousRpm = supply.FanRpm();
    }
    EXPECT_GT(supply.TemperatureCelsius(), coolCelsius + 15);
    EXPECT_GT(supply.FanRpm(), 1500);
}

struct FanCase {
    const char* name;
    std::vector<Bytes> frames;
    std::int32_t program;
    int rpm;
};

class FanTable : public testing::TestWithParam<FanCase> {};

TEST_P(FanTable, TempControlHoldsTheRequestedSpeed) {
    const FanCase& c = GetParam();
    VirtualPowerSupply supply;
    supply.SetLoad(100);
    supply.Advance(kHourMs);
    for (const Bytes& frame : c.frames) {
        supply.HandleOutputReport(frame);
    }
    EXPECT_EQ(supply.Program(), c.program);
    EXPECT_EQ(supply.FanRpm(), c.rpm);
    const Bytes reply = supply.HandleOutputReport(c.frames.back());
    EXPECT_NEAR(FieldOf(reply, TelemetryOffset::FanSpeed), c.rpm, 5);

    if (c.program == TempControl) {
        // The held speed does not follow the temperature.
        supply.SetLoad(700);
        supply.Advance(kHourMs);
        EXPECT_EQ(supply.FanRpm(), c.rpm);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FanTable,
    testing::Values(
        FanCase{"Request", {Frame(kTempControl, 1500)}, TempControl, 1500},
        FanCase{"PollWithZeroKeepsTheSpeed",
                {Frame(kTempControl, 1500), Frame(kTempControl, 0)},
                TempControl,
                1500},
        FanCase{"BelowTheLowestHasNoEffect",
                {Frame(kTempControl, 1500), Frame(kTempControl, 799)},
                TempControl,
                1500},
        FanCase{
            "TheLowestIsAccepted", {Frame(kTempControl, 1500), Frame(kTempControl, 800)}, TempControl, 800},
        FanCase{"NewRequest", {Frame(kTempControl, 1500), Frame(kTempControl, 2000)}, TempControl, 2000},
        FanCase{"AboveTheHighestIsCapped", {Frame(kTempControl, 3000)}, TempControl, 2200},
        FanCase{"SwitchWithoutRequestKeepsTheSmartSpeed", {Frame(kTempControl, 0)}, TempControl, 800},
        FanCase{"BackToEco", {Frame(kTempControl, 1500), Frame(kEco)}, Eco, 800}),
    CaseName());

struct SubCommandCase {
    const char* name;
    Bytes frame;
    bool clears;
};

class SubCommandTable : public testing::TestWithParam<SubCommandCase> {};

TEST_P(SubCommandTable, OnlySubCommandOneClearsTheEnergyCounter) {
    const SubCommandCase& c = GetParam();
    VirtualPowerSupply supply;
    supply.SetLoad(600);
    supply.Advance(kHourMs);
    // 600 W for an hour is 0.6 kWh, in 1/6000 kWh counts.
    EXPECT_NEAR(FieldOf(supply.HandleOutputReport(Frame(kEco)), TelemetryOffset::Energy), 3600, 1);

    const Bytes reply = supply.HandleOutputReport(c.frame);
    EXPECT_NEAR(FieldOf(reply, TelemetryOffset::Energy), c.clears ? 0 : 3600, 1);
    supply.Advance(kHourMs);
    EXPECT_NEAR(FieldOf(supply.HandleOutputReport(Frame(kEco)), TelemetryOffset::Energy),
                c.clears ? 3600 : 7200, 1);
}

INSTANTIATE_TEST_SUITE_P(Frames, SubCommandTable,
                         testing::Values(SubCommandCase{"EcoPoll", Frame(kEco, 0, 0), false},
                                         SubCommandCase{"EcoClear", Frame(kEco, 0, 1), true},
                                         SubCommandCase{"TempControlClear", Frame(kTempControl, 1500, 1),
                                                        true},
                                         SubCommandCase{"SubCommandTwo", Frame(kEco, 0, 2), false},
                                         SubCommandCase{"SubCommandThree", Frame(kTempControl, 0, 3), false}),
                         CaseName());

struct FaultCase {
    const char* name;
    void (*script)(VirtualPowerSupply&);
    int offset;
    std::int32_t low, high;
};

class FaultTable : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultTable, ScriptedFaultShowsInTheReply) {
    const FaultCase& c = GetParam();
    VirtualPowerSupply supply;
    c.script(supply);
    for (int poll = 0; poll < 5; ++poll) {
        const std::int32_t value = FieldOf(supply.HandleOutputReport(Frame(kEco)), c.offset);
        EXPECT_GE(value, c.low);
        EXPECT_LE(value, c.high);
        supply.Advance(5000);
    }
}

using Rail = VirtualPowerSupply::Rail;

INSTANTIATE_TEST_SUITE_P(
    Scripts, FaultTable,
    testing::Values(FaultCase{"OverTemperature", [](VirtualPowerSupply& s) { s.ForceTemperature(70); },
                              TelemetryOffset::Temperature, 70, 70},
                    FaultCase{"InputUnderVoltage", [](VirtualPowerSupply& s) { s.ForceInputVoltage(90); },
                              TelemetryOffset::InputVoltage, 90, 90},
                    FaultCase{"InputOverVoltage", [](VirtualPowerSupply& s) { s.ForceInputVoltage(260); },
                              TelemetryOffset::InputVoltage, 260, 260},
                    FaultCase{"Overload", [](VirtualPowerSupply& s) { s.SetLoad(700); },
                              TelemetryOffset::InputPower, 698, 702},
                    // 10.5 V at 80.46 counts per volt.
                    FaultCase{"Rail12VLow", [](VirtualPowerSupply& s) { s.ForceRail(Rail::Plus12V, 10.5); },
                              TelemetryOffset::Rail12V, 845, 845},
                    FaultCase{"RailMinus12VLow",
                              [](VirtualPowerSupply& s) { s.ForceRail(Rail::Minus12V, 9.0); },
                              TelemetryOffset::RailMinus12V, 389, 389},
                    FaultCase{"Rail5VHigh", [](VirtualPowerSupply& s) { s.ForceRail(Rail::Plus5V, 5.6); },
                              TelemetryOffset::Rail5V, 576, 576},
                    FaultCase{"Rail5VsbLow", [](VirtualPowerSupply& s) { s.ForceRail(Rail::Plus5Vsb, 4.4); },
                              TelemetryOffset::Rail5Vsb, 453, 453},
                    FaultCase{"Rail3V3High", [](VirtualPowerSupply& s) { s.ForceRail(Rail::Plus3V3, 3.7); },
                              TelemetryOffset::Rail3V3, 381, 381}),
    CaseName());

TEST(VirtualPowerSupplyTest, ForcedValueReturnsToTheModelWhenCleared) {
    VirtualPowerSupply supply;
    supply.ForceRail(Rail::Plus12V, 10.5);
    supply.ForceRail(Rail::Plus12V, std::nullopt);
    EXPECT_NEAR(FieldOf(supply.HandleOutputReport(Frame(kEco)), TelemetryOffset::Rail12V), 12.05 * 80.46, 2);
}

TEST(VirtualPowerSupplyTest, ScriptedRepliesStillApplyTheFrame) {
    VirtualPowerSupply supply;
    VirtualPowerSupply twin;
    const Bytes normal = twin.HandleOutputReport(Frame(kTempControl, 1500));

    supply.ScriptReply(VirtualPowerSupply::ReplyKind::Short, 10);
    EXPECT_EQ(supply.HandleOutputReport(Frame(kTempControl, 1500)),
              Bytes(normal.begin(), normal.begin() + 10));
    EXPECT_EQ(supply.FanRpm(), 1500);

    supply.ScriptReply(VirtualPowerSupply::ReplyKind::None);
    EXPECT_TRUE(supply.HandleOutputReport(Frame(kEco)).empty());
    EXPECT_EQ(supply.Program(), Eco);

    supply.ScriptReply(VirtualPowerSupply::ReplyKind::Garbage);
    const Bytes garbage = supply.HandleOutputReport(Frame(kTempControl, 2000));
    EXPECT_EQ(garbage.size(), 65u);
    EXPECT_NE(std::count(garbage.begin(), garbage.end(), 0), 65);
    EXPECT_EQ(supply.FanRpm(), 2000);

    supply.ScriptReply(VirtualPowerSupply::ReplyKind::Normal);
    EXPECT_EQ(supply.HandleOutputReport(Frame(kEco)).size(), 65u);
}

// A run of polls with load changes, as the cli drives it; the replies are what must repeat.
std::vector<Bytes> RunPolls(VirtualPowerSupply& supply,
                            const std::function<void(VirtualPowerSupply&)>& advance) {
    std::vector<Bytes> replies;
    for (int poll = 0; poll < 40; ++poll) {
        supply.SetLoad(150 + 15 * poll);
        replies.push_back(supply.HandleOutputReport(Frame(poll % 10 == 9 ? kTempControl : kEco, 1200)));
        advance(supply);
    }
    return replies;
}

TEST(VirtualPowerSupplyTest, SameSeedAndCallsGiveTheSameReplies) {
    const auto fiveSeconds = [](VirtualPowerSupply& s) { s.Advance(5000); };
    VirtualPowerSupply first(42);
    VirtualPowerSupply second(42);
    VirtualPowerSupply otherSeed(43);
    const std::vector<Bytes> replies = RunPolls(first, fiveSeconds);
    EXPECT_EQ(RunPolls(second, fiveSeconds), replies);
    EXPECT_NE(RunPolls(otherSeed, fiveSeconds), replies);

    // How the time between two polls is cut up does not matter.
    VirtualPowerSupply pieces(42);
    EXPECT_EQ(RunPolls(pieces,
                       [](VirtualPowerSupply& s) {
                           s.Advance(700);
                           s.Advance(2300);
                           s.Advance(2000);
                       }),
              replies);
}

TEST(VirtualPowerSupplyTest, DefaultSeedGivesTheSameNumbersOnEveryPlatform) {
    // Pinned from a Linux build: a Windows build must print the same readings for the same run.
    VirtualPowerSupply supply;
    supply.HandleOutputReport(Frame(kEco));
    supply.SetLoad(480);
    supply.Advance(10 * kMinuteMs);
    const Bytes reply = supply.HandleOutputReport(Frame(kEco));
    const std::vector<std::int32_t> fields = {
        FieldOf(reply, TelemetryOffset::InputVoltage), FieldOf(reply, TelemetryOffset::InputCurrent),
        FieldOf(reply, TelemetryOffset::InputPower),   FieldOf(reply, TelemetryOffset::FanSpeed),
        FieldOf(reply, TelemetryOffset::Rail5V),       FieldOf(reply, TelemetryOffset::Rail12V),
        FieldOf(reply, TelemetryOffset::Rail5Vsb),     FieldOf(reply, TelemetryOffset::Rail3V3),
        FieldOf(reply, TelemetryOffset::RailMinus12V), FieldOf(reply, TelemetryOffset::Temperature),
        FieldOf(reply, TelemetryOffset::Energy)};
    EXPECT_EQ(fields, (std::vector<std::int32_t>{229, 2204, 478, 1403, 516, 969, 518, 342, 520, 46, 480}));
}

} // namespace
