#include "device/virtual/SimulatedSupply.h"

#include "protocol/CCDataProcessing.h"
#include "protocol/TelemetryScale.h"

#include "support/TempDirectory.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Bytes = VirtualPowerSupply::Bytes;

constexpr auto kNever = std::chrono::milliseconds(std::chrono::hours(24));

// Reports as the log must show them: frames the supply answers, one it ignores, one of a single byte.
struct LoggedReport {
    Bytes report;
    std::string line;
};

const std::array<LoggedReport, 4> kReports = {{
    {{0x00, 0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00}, "00aa7e80000000"},
    {{0x00, 0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x01}, "00aa7e82dc0501"},
    {{0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}, "00123456789abcdef0"},
    {{0x7F}, "7f"},
}};

std::string LogOf(std::size_t reportCount) {
    std::string text;
    for (std::size_t i = 0; i < reportCount; ++i) {
        text += kReports[i].line + "\n";
    }
    return text;
}

void Send(HidPlatform& platform, const Bytes& report) {
    const auto writer = platform.Open(VirtualHidPlatform::kSupplyPath, HidAccess::Write);
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(writer->Write(report.data(), report.size()), HidWriteStatus::Completed);
}

// The energy counter as a monitor reads it from the reply to an Eco poll; nullopt without a full reply.
std::optional<double> PolledEnergyKwh(HidPlatform& platform) {
    const auto reader = platform.Open(VirtualHidPlatform::kSupplyPath, HidAccess::Read);
    const auto writer = platform.Open(VirtualHidPlatform::kSupplyPath, HidAccess::Write);
    Bytes poll(VirtualPowerSupply::kReportBytes, 0);
    poll[1] = 0xAA;
    poll[2] = 0x7E;
    poll[3] = 0x80;
    if (reader == nullptr || writer == nullptr ||
        writer->Write(poll.data(), poll.size()) != HidWriteStatus::Completed) {
        return std::nullopt;
    }
    std::array<std::uint8_t, VirtualPowerSupply::kReportBytes> reply{};
    if (reader->Read(reply.data(), reply.size()) != VirtualPowerSupply::kReportBytes) {
        return std::nullopt;
    }
    CCDataProcessing block;
    std::copy_n(reply.begin() + 1, CCDataProcessing::kBlockSize, block.m_data.begin());
    return block.GetEnergy(TelemetryScale::CountsPerKwh);
}

// A UTF-8 name with a blank and characters outside ASCII, which Windows must not read in its ANSI code page.
std::filesystem::path LogPathIn(const TempDirectory& directory) {
    return directory.Path() / std::u8string(u8"frames log \u00e4\u20ac.txt");
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST(SimulatedSupplyTest, HexLineGivesTwoLowercaseDigitsPerByte) {
    for (const LoggedReport& logged : kReports) {
        EXPECT_EQ(HexLine(logged.report), logged.line);
    }
    EXPECT_EQ(HexLine(Bytes{}), "");
}

TEST(SimulatedSupplyTest, LogsEachReportWithinTheLogPeriod) {
    const TempDirectory directory;
    const std::filesystem::path log = LogPathIn(directory);
    SimulatedSupply supply(Utf8(log), 5ms);
    for (std::size_t i = 0; i < kReports.size(); ++i) {
        Send(supply.Platform(), kReports[i].report);
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(log) == LogOf(i + 1); }))
            << "after report " << i << " the log holds:\n"
            << ReadFileBytes(log);
    }
}

TEST(SimulatedSupplyTest, DestructionLogsTheLastReportsAndReturnsAtOnce) {
    const TempDirectory directory;
    const std::filesystem::path log = LogPathIn(directory);
    std::optional<SimulatedSupply> supply(std::in_place, Utf8(log), kNever);
    for (const LoggedReport& logged : kReports) {
        Send(supply->Platform(), logged.report);
    }
    EXPECT_EQ(ReadFileBytes(log), "");
    const auto destroyedFrom = std::chrono::steady_clock::now();
    supply.reset();
    const auto destruction = std::chrono::steady_clock::now() - destroyedFrom;
    EXPECT_EQ(ReadFileBytes(log), LogOf(kReports.size()));
    EXPECT_LT(destruction, 1s);
}

TEST(SimulatedSupplyTest, LogsEveryReportOfARunLongerThanTheSupplyKeeps) {
    constexpr std::size_t kSent = 3 * VirtualPowerSupply::kKeptReports;
    // Written only at the end, and taken by the log while reports keep coming.
    for (const std::chrono::milliseconds logPeriod : {kNever, std::chrono::milliseconds(1)}) {
        const TempDirectory directory;
        const std::filesystem::path log = LogPathIn(directory);
        std::string expected;
        {
            SimulatedSupply supply(Utf8(log), logPeriod);
            const auto writer = supply.Platform().Open(VirtualHidPlatform::kSupplyPath, HidAccess::Write);
            ASSERT_NE(writer, nullptr);
            for (std::size_t i = 0; i < kSent; ++i) {
                const Bytes report = {0x01, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)};
                ASSERT_EQ(writer->Write(report.data(), report.size()), HidWriteStatus::Completed);
                expected += HexLine(report) + "\n";
            }
        }
        EXPECT_EQ(ReadFileBytes(log), expected) << "log period " << logPeriod.count() << " ms";
    }
}

TEST(SimulatedSupplyTest, ModelTimeFollowsTheClock) {
    std::int64_t clockMs = 0;
    const auto start = std::chrono::steady_clock::now();
    SimulatedSupply supply("", kNever, [&] { return start + std::chrono::milliseconds(clockMs); });

    // At the default 250 W the energy counter shows the model's time exactly.
    struct Reading {
        std::chrono::milliseconds clock;
        double kwh;
    };
    const Reading readings[] = {
        {1h, 0.25},
        {90min, 0.375},
        // Longer than one Advance() can take, as after weeks of sleep.
        {90min + std::chrono::hours(30 * 24), 180.375},
    };
    // The reply to the poll sent right after the clock moved already counts the time: nothing has to run
    // in between.
    for (const Reading& reading : readings) {
        clockMs = reading.clock.count();
        EXPECT_EQ(PolledEnergyKwh(supply.Platform()), reading.kwh)
            << "clock at " << reading.clock.count() << " ms";
    }
}

} // namespace
