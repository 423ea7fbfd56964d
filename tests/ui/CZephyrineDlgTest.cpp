#include "ui/CZephyrineDlg.h"

#include "MainWindowFixture.h"
#include "protocol/ReadingPipeline.h"
#include "ui/ControlTable.h"
#include "ui/TrayMenu.h"
#include "ui/framework/DialogCodes.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <map>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::vector<int> kModeButtons{IdTempControlButton, IdEcoButton, IdClearEnergyButton};

// The log entries that start with prefix, in order.
std::vector<std::string> Entries(const FakeDialogHost& host, const std::string& prefix) {
    std::vector<std::string> entries;
    for (const std::string& entry : host.CallLog()) {
        if (entry.starts_with(prefix)) {
            entries.push_back(entry);
        }
    }
    return entries;
}

// True when every entry of wanted appears in the log, in this order.
bool InOrder(const FakeDialogHost& host, const std::vector<std::string>& wanted) {
    auto it = host.CallLog().begin();
    for (const std::string& entry : wanted) {
        it = std::find(it, host.CallLog().end(), entry);
        if (it == host.CallLog().end()) {
            return false;
        }
        ++it;
    }
    return true;
}

void ExpectConnectedLook(FakeDialogHost& host, CZephyrineDlg& dlg) {
    EXPECT_EQ(host.Title(), "Lumenvale（设备已连接）");
    EXPECT_EQ(dlg.DeviceConnected.load(), 1);
    EXPECT_EQ(host.TimerPeriod(CZephyrineDlg::PollTimer), 5000);
    for (const int id : kModeButtons) {
        EXPECT_TRUE(host.Control(id).enabled) << id;
        EXPECT_TRUE(host.Control(id).visible) << id;
    }
}

void ExpectDisconnectedLook(FakeDialogHost& host, CZephyrineDlg& dlg, FakeUiPlatform& ui) {
    EXPECT_EQ(host.Title(), "Lumenvale（设备已断开）");
    EXPECT_EQ(dlg.DeviceConnected.load(), 0);
    EXPECT_FALSE(host.TimerPeriod(CZephyrineDlg::PollTimer).has_value());
    for (const int id : kModeButtons) {
        EXPECT_FALSE(host.Control(id).enabled) << id;
        EXPECT_TRUE(host.Control(id).visible) << id;
    }
    EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 156);
    EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 155);
    EXPECT_EQ(ui.BitmapIdOf(host.Control(IdClearEnergyButton).image), 150);
    for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{{1066, "000"},
                                                                           {1036, "0.00"},
                                                                           {1035, "0.00"},
                                                                           {1039, "0.00"},
                                                                           {1037, "0.00"},
                                                                           {1038, "0.00"},
                                                                           {1056, "000"},
                                                                           {1058, "0.00"},
                                                                           {1059, "00"},
                                                                           {1065, "00"},
                                                                           {1057, "0.00"}}) {
        EXPECT_EQ(host.Control(id).text, text) << id;
    }
}

class MainWindow : public MainWindowFixture {};

TEST_F(MainWindow, StartsConnectedWhenTheSupplyIsThereAndPollsFiveSecondsLater) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        ExpectConnectedLook(host, dlg);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 152);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 155);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdClearEnergyButton).image), 149);
        EXPECT_FALSE(host.Control(IdSetSpeedButton).visible);
        EXPECT_EQ(host.TimerPeriod(CZephyrineDlg::ModeLookTimer), 500);
        EXPECT_TRUE(host.IsVisible());

        host.AdvanceMs(4999);
        EXPECT_TRUE(Frames().empty());
        host.AdvanceMs(1);
        ASSERT_EQ(Frames().size(), 1u);
        EXPECT_EQ(Frames()[0][1], 0xAA);
        EXPECT_EQ(Frames()[0][3], 0x80); // Eco
    });
}

TEST_F(MainWindow, StartsDisconnectedWithoutTheSupplyAndNeverWritesAFrame) {
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        ExpectDisconnectedLook(host, dlg, ui);
        EXPECT_FALSE(host.Control(IdSetSpeedButton).visible);
        host.AdvanceMs(20000);
        EXPECT_EQ(hid.WriteAttempts(), 0);
    });
}

TEST_F(MainWindow, ResetsTheLabelsAndRefreshesTheirAreasInTheirOrder) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.ClearLog();
        host.DeviceChange(zui::DeviceNodesChanged);

        EXPECT_EQ(
            Entries(host, "text "),
            (std::vector<std::string>{"text 1066 000", "text 1036 0.00", "text 1035 0.00", "text 1039 0.00",
                                      "text 1037 0.00", "text 1038 0.00", "text 1056 000", "text 1058 0.00",
                                      "text 1059 00", "text 1065 00", "text 1057 0.00", "text 1057 0.00"}));
        std::vector<std::string> refreshes;
        for (const int id : {1066, 1036, 1035, 1039, 1037, 1038, 1058, 1056, 1059, 1065, 1057}) {
            const zui::Rect r = host.Control(id).rect;
            refreshes.push_back("invalidate " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                                std::to_string(r.right) + "," + std::to_string(r.bottom));
        }
        EXPECT_EQ(Entries(host, "invalidate "), refreshes);
        EXPECT_TRUE(InOrder(host, {"title Lumenvale（设备已断开）", "text 1066 000", "image 1064 155",
                                   "image 1063 156", "image 1044 150", "kill timer 1", "disable 1064",
                                   "disable 1063", "disable 1044", "paint now"}));
    });
}

TEST_F(MainWindow, RunsTheStartUpStepsInTheirOrder) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_TRUE(InOrder(host, {"big icon 32x32",
                                   "small icon 32x32",
                                   "move 0,0,0,0",
                                   "move 0,0,810,422",
                                   "image 1044 149",
                                   "image 1063 152",
                                   "image 1064 151",
                                   "image 1041 153",
                                   "text 1060 输入电压（V）",
                                   "place 1056 79,135,163,165",
                                   "place 1088 12,379,255,398",
                                   "update",
                                   "title Lumenvale（设备已连接）",
                                   "timer 1 5000",
                                   "hide 1041",
                                   "timer 2 500",
                                   "timer 3 1",
                                   "move 0,0,810,422",
                                   "foreground",
                                   "window shown"}));
        EXPECT_EQ(host.WindowRect(), (zui::Rect{0, 0, 810, 422}));
        EXPECT_EQ(host.UnknownControlCalls(), 0);
    });
}

TEST_F(MainWindow, RegistersTheRunningProgramToStartAtLogOn) {
    Run([&](FakeDialogHost&, CZephyrineDlg&) {
        EXPECT_EQ(autostart.registered,
                  (std::map<std::string, std::string>{{"Zephyrine", "/opt/zephyrine/Zephyrine"}}));
    });
}

TEST_F(MainWindow, TakesControlModeOneFromTheFileAndPollsInTempControl) {
    hid.AddSupply();
    WriteMode("1");
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        ExpectConnectedLook(host, dlg);
        EXPECT_EQ(dlg.Poll.ControlMode, TempControl);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 156);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 151);
        EXPECT_FALSE(host.Control(IdSetSpeedButton).visible);

        host.AdvanceMs(500);
        EXPECT_TRUE(host.Control(IdSetSpeedButton).visible);
        host.AdvanceMs(4500);
        ASSERT_EQ(Frames().size(), 1u);
        EXPECT_EQ(Frames()[0][3], 0x82); // TempControl
    });
}

TEST_F(MainWindow, FollowsTheSupplyArrivingAndLeaving) {
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        hid.AddSupply();
        EXPECT_TRUE(host.DeviceChange(zui::DeviceArrival));
        ExpectConnectedLook(host, dlg);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdClearEnergyButton).image), 149);

        hid.Unplug();
        EXPECT_TRUE(host.DeviceChange(zui::DeviceRemoveComplete));
        ExpectDisconnectedLook(host, dlg, ui);
    });
}

TEST_F(MainWindow, IgnoresOtherKindsOfDeviceNoticesButAnswersThemToo) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        const int searches = hid.EnumerationCount();
        host.ClearLog();
        EXPECT_TRUE(host.DeviceChange(0x0018)); // DBT_CONFIGCHANGED
        EXPECT_EQ(hid.EnumerationCount(), searches);
        EXPECT_TRUE(host.CallLog().empty());
    });
}

TEST_F(MainWindow, PushesTheNextPollFiveSecondsPastEveryNoticeThatFindsTheSupply) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.AdvanceMs(3000);
        host.DeviceChange(zui::DeviceNodesChanged); // any other device plugged in
        host.AdvanceMs(4999);
        EXPECT_TRUE(Frames().empty());
        host.AdvanceMs(1);
        EXPECT_EQ(Frames().size(), 1u);
    });
}

struct PlacementCase {
    const char* name;
    zui::Size screen;
    zui::Rect placed;
};

class Placement : public MainWindowFixture, public testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, MovesTheWindowOnceAndOnlyA1366By768ScreenKeepsIt) {
    ui.screen = GetParam().screen;
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.AdvanceMs(1);
        EXPECT_EQ(host.WindowRect(), GetParam().placed);
        EXPECT_FALSE(host.TimerPeriod(CZephyrineDlg::PlacementTimer).has_value());
    });
}

INSTANTIATE_TEST_SUITE_P(Screens, Placement,
                         testing::Values(PlacementCase{"Hd", {1366, 768}, {350, 180, 1160, 602}},
                                         PlacementCase{"FullHd", {1920, 1080}, {0, 0, 1138, 593}}),
                         CaseName());

TEST_F(MainWindow, ModeLookFollowsControlModeWithinHalfASecond) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        dlg.Poll.SelectTempControl();
        host.AdvanceMs(500);
        EXPECT_TRUE(host.Control(IdSetSpeedButton).visible);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 156);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 151);
        EXPECT_EQ(host.Control(IdEcoButton).rect.GetSize(), (zui::Size{124, 34}));

        dlg.Poll.SelectEco();
        host.ClearLog();
        host.AdvanceMs(500);
        EXPECT_FALSE(host.Control(IdSetSpeedButton).visible);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 152);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 155);
        EXPECT_EQ(host.Control(IdEcoButton).rect.GetSize(), (zui::Size{125, 35}));
        EXPECT_TRUE(InOrder(host, {"hide 1041", "image 1063 152", "image 1064 155", "update", "send paint"}));
    });
}

TEST_F(MainWindow, ModeLookSetsAndPaintsNothingWhileTheModeStaysTheSame) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        for (const bool tempControl : {false, true}) {
            if (tempControl) {
                dlg.Poll.SelectTempControl();
            } else {
                dlg.Poll.SelectEco();
            }
            host.AdvanceMs(500);
            host.ClearLog();
            host.AdvanceMs(1500);
            EXPECT_EQ(host.CallLog(), std::vector<std::string>(3, tempControl ? "show 1041" : "hide 1041"))
                << tempControl;
        }
    });
}

TEST_F(MainWindow, ModeLookOnlyKeepsSetSpeedHiddenWhileDisconnected) {
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        host.AdvanceMs(1); // the placement
        dlg.Poll.SelectTempControl();
        host.ClearLog();
        host.AdvanceMs(500);
        EXPECT_EQ(host.CallLog(), (std::vector<std::string>{"hide 1041"}));
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 156);
    });
}

TEST_F(MainWindow, ModeLookLeavesTheButtonsAloneForAModeThatIsNeither) {
    hid.AddSupply();
    WriteMode("7");
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        // Neither mode: the connected look left the start-up images.
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdEcoButton).image), 152);
        EXPECT_EQ(ui.BitmapIdOf(host.Control(IdTempControlButton).image), 151);
        host.AdvanceMs(1); // the placement
        host.ClearLog();
        host.AdvanceMs(500);
        EXPECT_TRUE(host.CallLog().empty());
    });
    EXPECT_EQ(SavedMode(), "7");
}

TEST_F(MainWindow, NeitherEscapeNorEnterEndsTheWindow) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_TRUE(host.PressKey(zui::KeyEscape));
        EXPECT_TRUE(host.PressKey(zui::KeyReturn));
        EXPECT_FALSE(host.PressKey('A'));
        EXPECT_FALSE(host.Ended());
    });
}

TEST_F(MainWindow, CloseHidesTheWindowAndPollingGoesOn) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.SystemCommand(zui::SystemCommandClose);
        EXPECT_FALSE(host.IsVisible());
        EXPECT_FALSE(host.Ended());
        host.AdvanceMs(5000);
        EXPECT_EQ(Frames().size(), 1u);
    });
}

TEST_F(MainWindow, CloseEndsTheProgramWhenThereIsNoNotificationAreaToComeBackFrom) {
    ui.trayAvailable = false;
    EXPECT_EQ(Run([&](FakeDialogHost& host, CZephyrineDlg&) { host.SystemCommand(zui::SystemCommandClose); }),
              zui::kIdCancel);
}

TEST_F(MainWindow, EndingTheRunSavesTheMode) {
    hid.AddSupply();
    const int result = Run([&](FakeDialogHost&, CZephyrineDlg& dlg) {
        EXPECT_EQ(SavedMode(), "0"); // written when the file was created
        dlg.Poll.SelectTempControl();
        dlg.OnCommand(zui::kIdCancel);
    });
    EXPECT_EQ(result, zui::kIdCancel);
    EXPECT_EQ(SavedMode(), "1");
}

// Windows may end the process right after the session's end, without destroying the window.
TEST_F(MainWindow, TheSessionsEndSavesTheModeAndTheWindowRunsOn) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        dlg.Poll.SelectTempControl(); // behind the buttons' back: nothing is saved yet
        EXPECT_EQ(SavedMode(), "0");
        ui.BroadcastEndSession();
        EXPECT_EQ(SavedMode(), "1");
        EXPECT_FALSE(host.Ended());
        EXPECT_TRUE(host.NotifyIcons().contains(kTrayIconId));
    });
}

// The saves on the way (the buttons, the session's end) leave the file as the one save at the end would.
TEST_F(MainWindow, TheFileAtTheEndIsWhatOneSaveOfTheLastModeMakesOfIt) {
    const std::string original =
        "; kept\r\n[Other]\r\nKey=value\r\n\r\n[SYS]\r\nControl Mode=0\r\nMore=1\r\n";
    WriteFileBytes(ConfigPath(), original);
    const auto expectedPath = dir.Path() / "expected.ini";
    WriteFileBytes(expectedPath, original);
    settings->WriteProfileValue(ModeSettings::kSection, ModeSettings::kKey, "1", expectedPath.string());

    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.Click(IdTempControlButton);
        host.Click(IdEcoButton);
        ui.BroadcastEndSession();
        host.Click(IdTempControlButton);
        host.EndDialog(zui::kIdCancel);
    });
    EXPECT_EQ(ReadFileBytes(ConfigPath()), ReadFileBytes(expectedPath));
}

TEST_F(MainWindow, ShowsEachPollsReadingsThroughTheWindowsThread) {
    hid.AddSupply();
    supply.ForceInputVoltage(231);
    // Lets the reply reach the read buffer before the pass copies it.
    timings.reading.copyDelayMs = 20;
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        bool shown = false;
        for (int poll = 0; poll < 20 && !shown; ++poll) {
            host.AdvanceMs(5000);
            // The energy label is the last a pass writes.
            ui.PumpUntil([&] { return Entries(host, "text 1057").size() > static_cast<std::size_t>(poll); });
            shown = host.Control(LabelInputVoltage).text == "231";
        }
        EXPECT_TRUE(shown);
    });
}

TEST_F(MainWindow, ShowsAWarningBoxOfTheWindowOnceAndKeepsARedReadingRedAfterTheSupplyLeft) {
    hid.AddSupply();
    supply.ForceTemperature(75);
    timings.reading.copyDelayMs = 20;
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        for (int poll = 0; poll < 20 && ui.Boxes().empty(); ++poll) {
            host.AdvanceMs(5000);
            ui.PumpUntil([&] { return Entries(host, "text 1057").size() > static_cast<std::size_t>(poll); });
            ui.PumpUntil([&] { return !ui.Boxes().empty(); }, std::chrono::milliseconds(200));
        }
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, ReadingPipeline::kOverTemperatureWarning);
        EXPECT_EQ(ui.Boxes()[0].caption, "Zephyrine");
        EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::Exclamation);
        EXPECT_TRUE(ui.Boxes()[0].owned);
        EXPECT_EQ(host.CtlColorOf(LabelTemperature).text, (zui::Rgb{255, 0, 0}));

        hid.Unplug();
        host.DeviceChange(zui::DeviceRemoveComplete);
        EXPECT_EQ(host.Control(LabelTemperature).text, "00");
        EXPECT_EQ(dlg.ReadingFlags.OverTemperatureAlarm.load(), 1);
        EXPECT_EQ(host.CtlColorOf(LabelTemperature).text, (zui::Rgb{255, 0, 0}));
    });
}

} // namespace
