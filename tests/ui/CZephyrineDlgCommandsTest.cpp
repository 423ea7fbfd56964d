#include "ui/CZephyrineDlg.h"

#include "MainWindowFixture.h"
#include "ui/ControlTable.h"
#include "ui/framework/DialogCodes.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Frame = std::array<std::uint8_t, 6>;

// What the user does before a poll tick; Wait500 lets the mode look show button 1041.
enum class Step { Eco, TempControl, ClearOk, ClearCancel, Speed1500, Speed700, Wait500 };

class CommandButtons : public MainWindowFixture {
protected:
    CommandButtons() { hid.AddSupply(); }

    void Do(FakeDialogHost& host, Step step) {
        switch (step) {
        case Step::Eco:
            host.Click(IdEcoButton);
            break;
        case Step::TempControl:
            host.Click(IdTempControlButton);
            break;
        case Step::ClearOk:
        case Step::ClearCancel:
            ui.boxAnswers.push_back(step == Step::ClearOk ? zui::kIdOk : zui::kIdCancel);
            host.Click(IdClearEnergyButton);
            break;
        case Step::Speed1500:
        case Step::Speed700:
            SetSpeed(host, step == Step::Speed1500 ? "1500" : "700");
            break;
        case Step::Wait500:
            host.AdvanceMs(500);
            break;
        }
    }

    // Types the speed into the fan-speed dialog and presses Enter; the confirmation box is answered OK.
    // Button 1041 shows only in TempControl, from the next mode look on.
    void SetSpeed(FakeDialogHost& host, const std::string& text) {
        EXPECT_TRUE(host.Control(IdSetSpeedButton).visible);
        ui.ScriptNextRun([text](FakeDialogHost& dialog) {
            dialog.SetControlText(1065, text);
            dialog.PressKey(zui::KeyReturn);
        });
        host.Click(IdSetSpeedButton);
    }

    // The frame of the newest output report.
    Frame LastFrame() {
        const auto reports = Frames();
        Frame frame{};
        if (!reports.empty()) {
            std::copy_n(reports.back().begin() + 1, frame.size(), frame.begin());
        }
        return frame;
    }
};

struct FramesCase {
    const char* name;
    const char* mode; // in the configuration file at start
    std::vector<Step> steps;
    Frame next;
    Frame after;
};

constexpr Frame kEcoPoll{0xAA, 0x7E, 0x80, 0, 0, 0};
constexpr Frame kTempPoll{0xAA, 0x7E, 0x82, 0, 0, 0};

class CommandFrames : public CommandButtons, public testing::WithParamInterface<FramesCase> {};

TEST_P(CommandFrames, OnlyTheNextPollTickSendsWhatTheButtonsLeftLast) {
    WriteMode(GetParam().mode);
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        for (const Step step : GetParam().steps) {
            Do(host, step);
        }
        EXPECT_TRUE(Frames().empty());
        host.AdvanceMs(5000 - static_cast<int>(host.NowMs()));
        ASSERT_EQ(Frames().size(), 1u);
        EXPECT_EQ(LastFrame(), GetParam().next);
        host.AdvanceMs(5000);
        ASSERT_EQ(Frames().size(), 2u);
        EXPECT_EQ(LastFrame(), GetParam().after);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, CommandFrames,
    testing::Values(
        FramesCase{"TempControl", "0", {Step::TempControl}, kTempPoll, kTempPoll},
        FramesCase{"Eco", "1", {Step::Eco}, kEcoPoll, kEcoPoll},
        FramesCase{"TempControlAgain", "1", {Step::TempControl}, kTempPoll, kTempPoll},
        FramesCase{"ClearInEco", "0", {Step::ClearOk}, {0xAA, 0x7E, 0x80, 0, 0, 1}, kEcoPoll},
        FramesCase{"ClearCancelled", "0", {Step::ClearCancel}, kEcoPoll, kEcoPoll},
        FramesCase{"ClearInTempControl", "1", {Step::ClearOk}, {0xAA, 0x7E, 0x82, 0, 0, 1}, kTempPoll},
        FramesCase{"ClearInNeitherMode", "7", {Step::ClearOk}, kEcoPoll, kEcoPoll},
        FramesCase{
            "Speed", "1", {Step::Wait500, Step::Speed1500}, {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0}, kTempPoll},
        FramesCase{"SpeedThenClearGoTogether",
                   "1",
                   {Step::Wait500, Step::Speed1500, Step::ClearOk},
                   {0xAA, 0x7E, 0x82, 0xDC, 0x05, 1},
                   kTempPoll},
        FramesCase{"ClearThenSpeedReplacesTheClear",
                   "1",
                   {Step::Wait500, Step::ClearOk, Step::Speed1500},
                   {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0},
                   kTempPoll},
        FramesCase{
            "ModeButtonAfterClearReplacesIt", "0", {Step::ClearOk, Step::TempControl}, kTempPoll, kTempPoll},
        FramesCase{
            "EcoAfterClearInTempControlReplacesIt", "1", {Step::ClearOk, Step::Eco}, kEcoPoll, kEcoPoll},
        // Button 1041 stays visible until the next mode look, up to 500 ms after the switch to Eco.
        FramesCase{"SpeedJustAfterTheSwitchToEcoGoesOutOnce",
                   "0",
                   {Step::TempControl, Step::Wait500, Step::Eco, Step::Speed700},
                   {0xAA, 0x7E, 0x82, 0xBC, 0x02, 0},
                   kEcoPoll}),
    CaseName());

struct ModeSaveCase {
    const char* name;
    const char* mode; // in the configuration file at start
    Step button;
    const char* saved; // in the file right after the press; "9" when it was not written
};

class ModeSaves : public CommandButtons, public testing::WithParamInterface<ModeSaveCase> {};

// The file is marked behind the window's back before the press, so that a write shows.
TEST_P(ModeSaves, AModeButtonWritesTheFileAtOnceOnlyWhenTheModeChanges) {
    WriteMode(GetParam().mode);
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        settings->WriteProfileValue(ModeSettings::kSection, ModeSettings::kKey, "9", ConfigPath());
        Do(host, GetParam().button);
        EXPECT_EQ(SavedMode(), GetParam().saved);
        EXPECT_TRUE(Frames().empty()); // before any poll tick
    });
}

INSTANTIATE_TEST_SUITE_P(Presses, ModeSaves,
                         testing::Values(ModeSaveCase{"EcoInEco", "0", Step::Eco, "9"},
                                         ModeSaveCase{"TempControlInTempControl", "1", Step::TempControl,
                                                      "9"},
                                         ModeSaveCase{"EcoInTempControl", "1", Step::Eco, "0"},
                                         ModeSaveCase{"TempControlInEco", "0", Step::TempControl, "1"},
                                         ModeSaveCase{"EcoInNeitherMode", "7", Step::Eco, "0"}),
                         CaseName());

TEST_F(CommandButtons, ClearEnergyAsksWithTheWarningBoxOfTheWindow) {
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        ui.boxAnswers = {zui::kIdCancel};
        host.Click(IdClearEnergyButton);

        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, "是否确认清除电源消耗电能?\r\n电量将从零开始。");
        EXPECT_EQ(ui.Boxes()[0].caption, "警告");
        EXPECT_EQ(ui.Boxes()[0].buttons, zui::MessageBoxButtons::OkCancel);
        EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::None);
        EXPECT_TRUE(ui.Boxes()[0].owned);
        EXPECT_EQ(dlg.Poll.PollState, 0);

        host.Click(IdClearEnergyButton);
        EXPECT_EQ(dlg.Poll.PollState, 1);
    });
}

TEST_F(CommandButtons, TheSpeedDialogShowsItsBoxesInTurnUntilAValidSpeedIsConfirmed) {
    WriteMode("1");
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        host.AdvanceMs(500); // 1041 shows in TempControl
        ui.ScriptNextRun([](FakeDialogHost& dialog) {
            EXPECT_EQ(dialog.Description().resourceId, 154);
            EXPECT_EQ(dialog.ControlText(1065), "0");
            for (const char* text : {"2201", "abc", "1500"}) {
                dialog.SetControlText(1065, text);
                dialog.Click(zui::kIdOk);
            }
            EXPECT_TRUE(dialog.Ended());
        });
        host.Click(IdSetSpeedButton);

        std::vector<std::string> texts;
        for (const RecordedBox& box : ui.Boxes()) {
            texts.push_back(box.text);
            EXPECT_EQ(box.caption, "Zephyrine");
            EXPECT_TRUE(box.owned);
        }
        EXPECT_EQ(texts, (std::vector<std::string>{"请输入一个 0 至 2200 之间的整数。", "请输入一个整数。",
                                                   "风机转速将被修改为：0", "请输入一个整数。",
                                                   "风机转速将被修改为：1500"}));
        EXPECT_EQ(dlg.Poll.RequestedFanSpeed, 1500);
        EXPECT_EQ(dlg.Poll.PollState, 4);
    });
}

TEST_F(CommandButtons, ASpeedDialogThatCannotBeCreatedSaysSoAndChangesNothing) {
    WriteMode("1");
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        host.AdvanceMs(500);
        ui.failNextDialogCreation = true;
        host.Click(IdSetSpeedButton);

        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, "程序异常!请重新设置");
        EXPECT_EQ(ui.Boxes()[0].caption, "Zephyrine");
        EXPECT_EQ(ui.Boxes()[0].buttons, zui::MessageBoxButtons::Ok);
        EXPECT_EQ(dlg.Poll.PollState, 4);
        EXPECT_EQ(dlg.Poll.RequestedFanSpeed, 0);
    });
}

} // namespace
