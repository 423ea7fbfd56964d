#include "protocol/PollCycle.h"

#include "support/ConnectedChannel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Frame = std::vector<std::uint8_t>;

// The poll cycle sending through the real channel to the virtual supply, whose log shows what went out.
class PollCycleTest : public testing::Test, protected ConnectedChannel {
protected:
    PollCycleTest() { poll.ResetForStartup(); }

    std::vector<VirtualPowerSupply::Bytes> Received() {
        return platform.WithSupply([](VirtualPowerSupply& s) { return s.ReceivedReports(); });
    }

    // Runs a script of words: eco, temp, clear, fanN, mode=N, tick. Returns the six frame bytes each tick
    // sent.
    std::vector<Frame> Play(const std::string& script) {
        std::istringstream words(script);
        std::string word;
        std::vector<Frame> sent;
        while (words >> word) {
            if (word == "eco") {
                poll.SelectEco();
            } else if (word == "temp") {
                poll.SelectTempControl();
            } else if (word == "clear") {
                poll.RequestClearEnergy();
            } else if (word.rfind("fan", 0) == 0) {
                poll.RequestFanSpeed(std::stoi(word.substr(3)));
            } else if (word.rfind("mode=", 0) == 0) {
                poll.ApplyLoadedMode(std::stoi(word.substr(5)));
            } else if (word == "tick") {
                const std::size_t before = Received().size();
                poll.Tick(channel, pollEvent);
                const auto received = Received();
                if (received.size() > before) {
                    sent.emplace_back(received.back().begin() + 1, received.back().begin() + 7);
                }
            } else {
                ADD_FAILURE() << "unknown word " << word;
            }
        }
        return sent;
    }

    Event pollEvent{Event::ResetMode::Automatic};
    PollCycle poll;
};

struct ScriptCase {
    const char* name;
    const char* script;
    std::vector<Frame> frames;
};

const Frame kEcoPoll{0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00};
const Frame kTempPoll{0xAA, 0x7E, 0x82, 0x00, 0x00, 0x00};

class PollScripts : public PollCycleTest, public testing::WithParamInterface<ScriptCase> {};

TEST_P(PollScripts, EachTickSendsWhatWasSetLastThenFallsBack) {
    EXPECT_EQ(Play(GetParam().script), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, PollScripts,
    testing::Values(
        ScriptCase{"EcoIdle", "tick tick", {kEcoPoll, kEcoPoll}},
        ScriptCase{"TempControlIdle", "temp tick tick", {kTempPoll, kTempPoll}},
        ScriptCase{
            "FanSpeedOnce", "temp fan1500 tick tick", {{0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x00}, kTempPoll}},
        ScriptCase{"HighestSpeed", "temp fan2200 tick", {{0xAA, 0x7E, 0x82, 0x98, 0x08, 0x00}}},
        ScriptCase{"ClearInEco", "clear tick tick", {{0xAA, 0x7E, 0x80, 0x00, 0x00, 0x01}, kEcoPoll}},
        ScriptCase{"SpeedThenClearShareOneFrame",
                   "temp fan1500 clear tick tick",
                   {{0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x01}, kTempPoll}},
        ScriptCase{
            "SpeedReplacesAnEarlierClear", "temp clear fan1500 tick", {{0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x00}}},
        ScriptCase{"ModeButtonReplacesAClear", "clear temp tick", {kTempPoll}},
        ScriptCase{"SpeedInEcoGoesOutOnceThenEcoAgain",
                   "fan1500 tick tick",
                   {{0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x00}, kEcoPoll}},
        ScriptCase{"TempButtonKeepsARequestedSpeed",
                   "temp fan900 temp tick",
                   {{0xAA, 0x7E, 0x82, 0x84, 0x03, 0x00}}},
        ScriptCase{"LoadedTempControl", "mode=1 tick", {kTempPoll}},
        // Neither mode: the tick never moves PollState and a clear changes nothing.
        ScriptCase{"ForeignModeKeepsTheLastFrame", "mode=7 clear tick tick", {kEcoPoll, kEcoPoll}},
        ScriptCase{"ForeignModeAfterTemp",
                   "temp mode=7 tick fan1000 tick tick",
                   {kTempPoll, {0xAA, 0x7E, 0x82, 0xE8, 0x03, 0x00}, kTempPoll}}),
    [](const testing::TestParamInfo<ScriptCase>& param) { return param.param.name; });

TEST_F(PollCycleTest, TheWholeReportIsReportIdFrameAndZeros) {
    Play("temp fan1500 tick");
    const auto report = Received().back();
    ASSERT_EQ(report.size(), 65u);
    EXPECT_EQ(report[0], 0x00);
    EXPECT_EQ(std::count(report.begin() + 7, report.end(), 0), 58);
    EXPECT_TRUE(std::all_of(poll.FrameBuffer.begin(), poll.FrameBuffer.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(poll.RequestedFanSpeed, 0);
}

TEST_F(PollCycleTest, AFailedWriteConsumesTheCommandAndStillWakesTheReader) {
    platform.Unplug();
    channel.OpenDevice(0x04D8);
    poll.RequestClearEnergy();
    EXPECT_TRUE(Play("tick").empty());
    EXPECT_TRUE(pollEvent.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(poll.PollState, 0);

    platform.Plug();
    channel.OpenDevice(0x04D8);
    EXPECT_EQ(Play("tick"), std::vector<Frame>{kEcoPoll});
}

} // namespace
