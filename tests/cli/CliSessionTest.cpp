#include "cli/CliSession.h"

#include "protocol/CommandFrame.h"
#include "protocol/ReadingPipeline.h"
#include "support/CaseName.h"
#include "support/RecordingSleeper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SessionRun {
    CliExit exit;
    std::string out;
    std::string err;
    std::vector<int> pauses;
};

// Every pause passes a millisecond of real time only, so the channel's reader still delivers the reply.
SessionRun RunSession(const CliOptions& options, CliBackend& backend, WindowShare& window) {
    RecordingSleeper sleeper(1);
    std::ostringstream out;
    std::ostringstream err;
    const CliExit exit = CliSession(options, backend, window, sleeper, out, err).Run();
    return {exit, out.str(), err.str(), sleeper.Pauses()};
}

SessionRun RunSession(const CliOptions& options, CliBackend& backend) {
    NoWindowShare noWindow;
    return RunSession(options, backend, noWindow);
}

SessionRun RunSimulated(const CliOptions& options) {
    SimulatedBackend backend(options.seed);
    return RunSession(options, backend);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The text and warn flag of one reading in a JSON line.
std::pair<std::string, std::string> JsonReading(const std::string& line, const std::string& key) {
    std::smatch match;
    const std::regex pattern("\"" + key +
                             "\":\\{\"text\":\"([^\"]*)\",\"unit\":\"[^\"]*\",\"warn\":(true|false)\\}");
    if (!std::regex_search(line, match, pattern)) {
        return {};
    }
    return {match[1], match[2]};
}

TEST(CliSessionTest, SameSeedPrintsTheSameReadings) {
    for (const bool json : {false, true}) {
        const CliOptions options{.simulate = true, .seed = 7, .json = json, .count = 6};
        const SessionRun first = RunSimulated(options);
        EXPECT_EQ(first.exit, ExitDone);
        EXPECT_EQ(RunSimulated(options).out, first.out);
        CliOptions otherSeed = options;
        otherSeed.seed = 8;
        EXPECT_NE(RunSimulated(otherSeed).out, first.out);
    }
}

TEST(CliSessionTest, JsonGivesOneObjectPerPollWithAllElevenReadings) {
    const SessionRun run = RunSimulated({.simulate = true, .json = true, .count = 3, .intervalMs = 200});
    EXPECT_EQ(run.exit, ExitDone);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("{\"poll\":" + std::to_string(i + 1) + ",", 0), 0u) << lines[i];
        EXPECT_EQ(lines[i].back(), '}');
        EXPECT_EQ(Occurrences(lines[i], "\"text\":"), 11u);
        EXPECT_EQ(Occurrences(lines[i], "\"warn\":false"), 11u);
        for (const char* key :
             {"input_voltage", "input_current", "input_power", "energy", "rail_12v", "rail_minus_12v",
              "rail_5vsb", "rail_5v", "rail_3v3", "temperature", "fan_speed"}) {
            EXPECT_FALSE(JsonReading(lines[i], key).first.empty()) << key;
        }
        EXPECT_NE(lines[i].find("\"warnings\":[]"), std::string::npos);
    }
    // One interval between polls; the first poll goes out at once.
    EXPECT_EQ(std::count(run.pauses.begin(), run.pauses.end(), 200), 2);
}

TEST(CliSessionTest, TheSupplyAdvancesByExactlyTheIntervalPerPoll) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    // 600 W for a minute is 0.01 kWh.
    backend.Supply().SetLoad(600);
    const SessionRun run =
        RunSession({.simulate = true, .json = true, .count = 4, .intervalMs = 60000}, backend);
    std::vector<std::string> energy;
    for (const std::string& line : Lines(run.out)) {
        energy.push_back(JsonReading(line, "energy").first);
    }
    EXPECT_EQ(energy, (std::vector<std::string>{"0.00", "0.01", "0.02", "0.03"}));
}

struct CommandCase {
    const char* name;
    CliOptions options;
    Bytes firstFrame;
    Bytes secondFrame;
};

class CommandTable : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, CommandsGoOutWithTheFirstPollOnly) {
    const CommandCase& c = GetParam();
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    CliOptions options = c.options;
    options.count = 2;
    ASSERT_EQ(RunSession(options, backend).exit, ExitDone);

    const auto& sent = backend.Supply().ReceivedReports();
    ASSERT_EQ(sent.size(), 2u);
    for (std::size_t poll = 0; poll < 2; ++poll) {
        Bytes expected(65, 0);
        const Bytes& frame = poll == 0 ? c.firstFrame : c.secondFrame;
        std::copy(frame.begin(), frame.end(), expected.begin() + 1);
        EXPECT_EQ(sent[poll], expected) << poll;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandTable,
    testing::Values(CommandCase{"NoCommand", {}, {0xAA, 0x7E, 0x80, 0, 0, 0}, {0xAA, 0x7E, 0x80, 0, 0, 0}},
                    CommandCase{"ModeTemp",
                                {.mode = TempControl},
                                {0xAA, 0x7E, 0x82, 0, 0, 0},
                                {0xAA, 0x7E, 0x82, 0, 0, 0}},
                    CommandCase{"FanSpeed",
                                {.mode = TempControl, .fanRpm = 1500},
                                {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0},
                                {0xAA, 0x7E, 0x82, 0, 0, 0}},
                    CommandCase{"FanSpeedAndClearInOneFrame",
                                {.mode = TempControl, .fanRpm = 2200, .clearEnergy = true},
                                {0xAA, 0x7E, 0x82, 0x98, 0x08, 1},
                                {0xAA, 0x7E, 0x82, 0, 0, 0}},
                    CommandCase{"ClearInEco",
                                {.mode = Eco, .clearEnergy = true},
                                {0xAA, 0x7E, 0x80, 0, 0, 1},
                                {0xAA, 0x7E, 0x80, 0, 0, 0}}),
    CaseName());

TEST(CliSessionTest, PrintsTheWarnFlagsAndEachWarningOncePerExcursion) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    backend.Supply().ForceTemperature(70);
    backend.Supply().ForceRail(VirtualPowerSupply::Rail::Plus12V, 10.5);
    const SessionRun run =
        RunSession({.simulate = true, .json = true, .count = 2, .intervalMs = 1000}, backend);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) {
        EXPECT_EQ(JsonReading(line, "temperature"), std::make_pair(std::string("70"), std::string("true")));
        EXPECT_EQ(JsonReading(line, "rail_12v"), std::make_pair(std::string("10.50"), std::string("true")));
        EXPECT_EQ(Occurrences(line, "\"warn\":true"), 2u);
    }
    std::string escaped = ReadingPipeline::kOverTemperatureWarning;
    for (std::size_t at; (at = escaped.find("\r\n")) != std::string::npos;) {
        escaped.replace(at, 2, "\\r\\n");
    }
    EXPECT_NE(lines[0].find("\"warnings\":[\"" + escaped + "\"]"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\"warnings\":[]"), std::string::npos);

    SimulatedBackend textBackend(CliOptions::kDefaultSeed);
    textBackend.Supply().ForceTemperature(70);
    const std::string text = RunSession({.simulate = true, .count = 1}, textBackend).out;
    EXPECT_NE(text.find("  WARN  temperature         70 °C\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  warning: 电源过温告警,\n           电源达到70度时"), std::string::npos) << text;
}

struct SilentCase {
    const char* name;
    bool json;
    std::string pollOutput; // what poll 1 prints
};

class SilentSupplyTable : public testing::TestWithParam<SilentCase> {};

TEST_P(SilentSupplyTable, SaysThatNoReplyCameAndExitsFour) {
    const SilentCase& c = GetParam();
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    backend.Supply().ScriptReply(VirtualPowerSupply::ReplyKind::None);
    const SessionRun run = RunSession({.simulate = true, .json = c.json, .count = 2}, backend);
    EXPECT_EQ(run.exit, ExitNoReply);
    EXPECT_EQ(Lines(run.out).front(), c.pollOutput.substr(0, c.pollOutput.find('\n')));
    std::string second = c.pollOutput;
    second.replace(second.find('1'), 1, "2");
    EXPECT_EQ(run.out, c.pollOutput + second);
    EXPECT_EQ(run.err, std::string(kNeverRepliedMessage) + "\n");
    // Each poll: the copy delay of the reading thread, then 250 steps of 1 ms looking for a late reply.
    EXPECT_EQ(std::count(run.pauses.begin(), run.pauses.end(), 20), 2);
    EXPECT_EQ(std::count(run.pauses.begin(), run.pauses.end(), 1), 500);
}

INSTANTIATE_TEST_SUITE_P(Output, SilentSupplyTable,
                         testing::Values(SilentCase{"Text", false,
                                                    "poll 1\n  no reply from the power supply\n"},
                                         SilentCase{"Json", true, "{\"poll\":1,\"reply\":false}\n"}),
                         CaseName());

class EmptyBusBackend final : public CliBackend {
public:
    HidPlatform& Platform() override { return m_platform; }
    void IntervalElapsed(int) override {}

private:
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
};

TEST(CliSessionTest, NoSupplyEndsWithOneLineAndExitTwo) {
    EmptyBusBackend backend;
    const SessionRun run = RunSession({.simulate = true, .count = 3}, backend);
    EXPECT_EQ(run.exit, ExitNoSupply);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string(kNoSupplyMessage) + "\n");
}

// The supply on a virtual bus that changes on cue: each wait for a notice takes the next step of the script,
// which changes the bus and reports a notice, or (null) lets the interval pass.
class ChangingBusBackend final : public CliBackend {
public:
    using Step = std::function<void(VirtualHidPlatform&)>;

    explicit ChangingBusBackend(std::vector<Step> steps) : m_steps(std::move(steps)) {
        m_platform.AddSupply();
    }

    HidPlatform& Platform() override { return m_platform; }
    void IntervalElapsed(int) override {}
    bool WaitForDeviceChange(int timeoutMs, Sleeper& sleeper) override {
        m_waitsMs.push_back(timeoutMs);
        if (m_next == m_steps.size() || !m_steps[m_next]) {
            ++m_next;
            sleeper.SleepMs(timeoutMs);
            return false;
        }
        m_steps[m_next++](m_platform);
        return true;
    }

    const std::vector<int>& WaitsMs() const { return m_waitsMs; }
    VirtualPowerSupply& Supply() { return m_supply; }

private:
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    std::vector<int> m_waitsMs;
};

const ChangingBusBackend::Step kUnplug = [](VirtualHidPlatform& bus) { bus.Unplug(); };
const ChangingBusBackend::Step kPlug = [](VirtualHidPlatform& bus) { bus.Plug(); };
const ChangingBusBackend::Step kOtherDevice = [](VirtualHidPlatform&) {};

std::vector<std::string> PollAndEventLines(const std::string& out) {
    std::vector<std::string> kept;
    for (const std::string& line : Lines(out)) {
        if (line.rfind("poll ", 0) == 0 || line.rfind("power supply", 0) == 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

ChangingBusBackend::Step Replies(VirtualPowerSupply::ReplyKind kind) {
    return [kind](VirtualHidPlatform& bus) {
        bus.WithSupply([kind](VirtualPowerSupply& supply) { supply.ScriptReply(kind); });
    };
}

TEST(CliSessionTest, ASupplyThatFallsSilentForAPollIsToldApartAndTheRunStillSucceeds) {
    // Between polls 1 and 2 the supply stops answering, between 2 and 3 it answers again.
    ChangingBusBackend backend({Replies(VirtualPowerSupply::ReplyKind::None), nullptr,
                                Replies(VirtualPowerSupply::ReplyKind::Normal), nullptr});
    const SessionRun run = RunSession({.json = true, .count = 3}, backend);
    EXPECT_EQ(run.exit, ExitDone);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "{\"poll\":2,\"reply\":false}");
    for (const std::size_t answered : {0u, 2u}) {
        EXPECT_EQ(lines[answered].rfind("{\"poll\":" + std::to_string(answered + 1) + ",\"reply\":true,", 0),
                  0u)
            << lines[answered];
        EXPECT_EQ(Occurrences(lines[answered], "\"warn\":false"), 11u) << lines[answered];
    }
}

TEST(CliSessionTest, AnUnplugStopsThePollsAndTheRePlugResumesThem) {
    // Between polls 1 and 2: the supply goes, an interval passes without a notice, it comes back.
    ChangingBusBackend backend({kUnplug, nullptr, kPlug, nullptr, nullptr});
    const SessionRun run = RunSession({.count = 3, .intervalMs = 700}, backend);
    EXPECT_EQ(run.exit, ExitDone);
    EXPECT_EQ(PollAndEventLines(run.out), (std::vector<std::string>{"poll 1", kSupplyLostMessage,
                                                                    kSupplyBackMessage, "poll 2", "poll 3"}));
    // Nothing was sent while the supply was away; finding it again restarted the interval.
    EXPECT_EQ(backend.Supply().ReceivedReports().size(), 3u);
    EXPECT_EQ(backend.WaitsMs(), (std::vector<int>{700, 700, 700, 700, 700}));
}

TEST(CliSessionTest, UnplugAndRePlugAreJsonEventsInJsonMode) {
    ChangingBusBackend backend({kUnplug, kPlug, nullptr});
    const std::vector<std::string> lines = Lines(RunSession({.json = true, .count = 2}, backend).out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "{\"event\":\"supply_lost\"}");
    EXPECT_EQ(lines[2], "{\"event\":\"supply_back\"}");
    EXPECT_EQ(lines[3].rfind("{\"poll\":2,", 0), 0u);
    // The poll after the re-plug is answered by the supply, not read from a cleared buffer.
    const std::string voltage = JsonReading(lines[3], "input_voltage").first;
    EXPECT_FALSE(voltage.empty());
    EXPECT_NE(voltage, "0");
}

TEST(CliSessionTest, ANoticeAboutAnotherDeviceOnlyRestartsTheInterval) {
    ChangingBusBackend backend({kOtherDevice, nullptr});
    const SessionRun run = RunSession({.count = 2, .intervalMs = 300}, backend);
    EXPECT_EQ(PollAndEventLines(run.out), (std::vector<std::string>{"poll 1", "poll 2"}));
    EXPECT_EQ(backend.WaitsMs(), (std::vector<int>{300, 300}));
    EXPECT_EQ(backend.Supply().ReceivedReports().size(), 2u);
}

// A supply whose node the user may not open, as a udev rule that is not installed leaves it.
class LockedSupplyBackend final : public CliBackend {
public:
    LockedSupplyBackend() {
        m_platform.AddInterface(
            {.path = "/dev/hidraw3", .isSupply = true, .readOpenFails = true, .writeOpenFails = true});
    }
    HidPlatform& Platform() override { return m_platform; }
    void IntervalElapsed(int) override {}
    std::string OpenProblem() const override { return "permission denied on /dev/hidraw3: install the rule"; }

private:
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
};

TEST(CliSessionTest, ASupplyThatCannotBeOpenedIsNotCalledMissing) {
    LockedSupplyBackend backend;
    const SessionRun run = RunSession({.count = 3}, backend);
    EXPECT_EQ(run.exit, ExitNoAccess);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "zephyrine-cli: permission denied on /dev/hidraw3: install the rule\n");
}

struct RunCliCase {
    const char* name;
    std::vector<std::string> args;
    int exit;
    std::string outStart;
    std::string err;
};

class RunCliTable : public testing::TestWithParam<RunCliCase> {};

TEST_P(RunCliTable, AnswersLikeTheBinary) {
    const RunCliCase& c = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli(c.args, out, err), c.exit);
    EXPECT_EQ(out.str().substr(0, c.outStart.size()), c.outStart);
    EXPECT_EQ(c.outStart.empty(), out.str().empty());
    EXPECT_EQ(err.str(), c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RunCliTable,
    testing::Values(
        RunCliCase{"Version", {"--version"}, 0, "zephyrine-cli " ZEPHYRINE_EXPECTED_VERSION "\n", ""},
        RunCliCase{"Help", {"--help", "--simulate"}, 0, "Usage: zephyrine-cli [options]\n", ""},
        RunCliCase{"InvalidArgument",
                   {"--count", "0"},
                   2,
                   "",
                   "zephyrine-cli: invalid value '0' for --count (1 to 2147483647) (see --help)\n"},
        RunCliCase{"NoDeviceWithoutSimulate", {"--count", "1"}, 1, "", std::string(kNoSupplyMessage) + "\n"},
        RunCliCase{
            "Simulate", {"--simulate", "--count", "1", "--json"}, 0, "{\"poll\":1,\"reply\":true,", ""}),
    CaseName());

TEST(CliSessionTest, HelpListsEveryExitStatus) {
    const std::string usage = CliUsage();
    for (const CliExit exit :
         {ExitDone, ExitInvalidArguments, ExitNoSupply, ExitNoAccess, ExitNoReply, ExitWindowOwnsCommands}) {
        EXPECT_NE(usage.find("\n  " + std::to_string(exit) + "  "), std::string::npos) << exit;
    }
}

// The window as the cli sees it: whether it runs, and the mode its file keeps at each read.
class ScriptedWindow final : public WindowShare {
public:
    bool WindowRuns() override { return runs; }
    std::optional<std::int32_t> KeptMode() override {
        ++reads;
        return keptAtRead(reads);
    }
    bool KeepMode(std::int32_t mode) override {
        kept.push_back(mode);
        return true;
    }

    bool runs = false;
    std::function<std::optional<std::int32_t>(int)> keptAtRead = [](int) { return std::nullopt; };
    int reads = 0;
    std::vector<std::int32_t> kept;
};

// The mode byte of each frame the supply received.
std::vector<std::uint8_t> SentModes(SimulatedBackend& backend) {
    std::vector<std::uint8_t> modes;
    for (const Bytes& report : backend.Supply().ReceivedReports()) {
        modes.push_back(report.at(3));
    }
    return modes;
}

constexpr std::uint8_t kEcoFrame = 0x80;
constexpr std::uint8_t kTempControlFrame = 0x82;

TEST(CliSessionWindowMode, APlainRunSendsTheModeTheWindowKeepsAndFollowsItsChanges) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    ScriptedWindow window;
    window.runs = true;
    // The window keeps TempControl, then the user switches it to Eco after the second poll.
    window.keptAtRead = [](int read) { return std::optional<std::int32_t>(read <= 2 ? TempControl : Eco); };
    CliOptions options;
    options.count = 4;

    EXPECT_EQ(RunSession(options, backend, window).exit, ExitDone);

    EXPECT_EQ(SentModes(backend),
              (std::vector<std::uint8_t>{kTempControlFrame, kTempControlFrame, kEcoFrame, kEcoFrame}));
    EXPECT_EQ(window.reads, 4);
    EXPECT_TRUE(window.kept.empty());
}

TEST(CliSessionWindowMode, WithoutAKeptModeAPlainRunSendsEco) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    ScriptedWindow window;
    CliOptions options;
    options.count = 2;

    EXPECT_EQ(RunSession(options, backend, window).exit, ExitDone);

    EXPECT_EQ(SentModes(backend), (std::vector<std::uint8_t>{kEcoFrame, kEcoFrame}));
}

struct OwnedCommandCase {
    const char* name;
    std::vector<std::string> args;
};

class CommandsWhileTheWindowRuns : public testing::TestWithParam<OwnedCommandCase> {};

TEST_P(CommandsWhileTheWindowRuns, AreRefusedBeforeAnythingIsSent) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    ScriptedWindow window;
    window.runs = true;
    const CliParseResult parsed = ParseCliOptions(GetParam().args);
    ASSERT_EQ(parsed.error, "");

    const SessionRun run = RunSession(parsed.options, backend, window);

    EXPECT_EQ(run.exit, ExitWindowOwnsCommands);
    EXPECT_EQ(run.err, std::string(kWindowOwnsCommandsMessage) + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(backend.Supply().ReceivedReports().empty());
    EXPECT_TRUE(window.kept.empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandsWhileTheWindowRuns,
                         testing::Values(OwnedCommandCase{"Mode", {"--mode", "eco", "--count", "1"}},
                                         OwnedCommandCase{
                                             "Fan", {"--mode", "temp", "--fan", "1500", "--count", "1"}},
                                         OwnedCommandCase{"ClearEnergy", {"--clear-energy", "--count", "1"}}),
                         CaseName());

TEST(CliSessionWindowMode, AModeGivenWhileTheWindowIsAwayIsSentKeptAndNotOverriddenByTheFile) {
    SimulatedBackend backend(CliOptions::kDefaultSeed);
    ScriptedWindow window;
    window.keptAtRead = [](int) { return std::optional<std::int32_t>(Eco); };
    const CliParseResult parsed = ParseCliOptions({"--mode", "temp", "--count", "2"});

    EXPECT_EQ(RunSession(parsed.options, backend, window).exit, ExitDone);

    EXPECT_EQ(SentModes(backend), (std::vector<std::uint8_t>{kTempControlFrame, kTempControlFrame}));
    EXPECT_EQ(window.kept, std::vector<std::int32_t>{TempControl});
}

} // namespace
