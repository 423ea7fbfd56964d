#include "ui/CZephyrineDlg.h"

#include "MainWindowFixture.h"
#include "ui/ControlTable.h"
#include "ui/framework/DialogCodes.h"

#include "Resources.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

long Count(const FakeDialogHost& host, const std::string& entry) {
    return std::ranges::count(host.CallLog(), entry);
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

zui::Point CentreOf(const zui::Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const std::vector<FakeMenuItem> kTrayMenu{{0x20, 1026, "界面"}, {0, zui::kIdCancel, "退出"}};

class Tray : public MainWindowFixture {
protected:
    Tray() { hid.AddSupply(); }
};

TEST_F(Tray, StartUpAddsOneIconHidesTheWindowAndShowsItAgainAtTheEnd) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        ASSERT_EQ(host.NotifyIcons().size(), 1u);
        const FakeNotifyIcon& icon = host.NotifyIcons().at(128);
        EXPECT_EQ(icon.tip, "zivev");
        EXPECT_EQ(icon.icon, ui.DecodeImage(zres::EmbeddedResource(zres::ResourceKind::Icon, 128)));
        EXPECT_FALSE(icon.icon.IsNull());
        EXPECT_TRUE(InOrder(host, {"title Lumenvale（设备已连接）", "tray add 128 zivev", "window hidden",
                                   "hide 1041", "foreground", "window shown"}));
        EXPECT_TRUE(host.IsVisible());
    });
}

TEST_F(Tray, DestructionSavesTheModeFirstThenRemovesTheIcon) {
    std::string modeWhenRemoved;
    int deletions = 0;
    ui.onNotifyIconDeleted = [&] {
        modeWhenRemoved = SavedMode();
        ++deletions;
    };
    Run([&](FakeDialogHost&, CZephyrineDlg& dlg) { dlg.Poll.SelectTempControl(); });
    EXPECT_TRUE(ui.NotifyIcons().empty());
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(modeWhenRemoved, "1");
}

TEST_F(Tray, CloseAndMinimiseHideTheWindowAndKeepExactlyOneIcon) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.ClearLog();
        for (const unsigned code : {zui::SystemCommandClose, zui::SystemCommandMinimize,
                                    zui::SystemCommandClose, zui::SystemCommandMinimize}) {
            host.SystemCommand(code);
            EXPECT_FALSE(host.IsVisible()) << code;
            EXPECT_EQ(host.NotifyIcons().size(), 1u) << code;
        }
        EXPECT_FALSE(host.Ended());
        EXPECT_EQ(Count(host, "tray add failed 128"), 4);
        // The minimise is carried out on the hidden window.
        EXPECT_TRUE(InOrder(host, {"tray add failed 128", "window hidden", "tray add failed 128",
                                   "window hidden", "minimized"}));
    });
}

struct NotifyCase {
    const char* name;
    int iconId;
    std::uint32_t mouseMessage;
    int result;
    bool shown;
};

class TrayNotify : public Tray, public testing::WithParamInterface<NotifyCase> {};

TEST_P(TrayNotify, OnlyALeftClickOrDoubleClickOnTheIconBringsTheWindowBack) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.SystemCommand(zui::SystemCommandClose);
        host.ClearLog();

        EXPECT_EQ(host.TrayNotify(GetParam().iconId, GetParam().mouseMessage), GetParam().result);

        EXPECT_EQ(host.IsVisible(), GetParam().shown);
        if (GetParam().shown) {
            EXPECT_EQ(host.CallLog(), (std::vector<std::string>{"foreground", "window shown"}));
        }
        EXPECT_TRUE(host.Menus().empty());
    });
}

INSTANTIATE_TEST_SUITE_P(Messages, TrayNotify,
                         testing::Values(NotifyCase{"LeftUp", 128, 0x0202, 0, true},
                                         NotifyCase{"LeftDoubleClick", 128, 0x0203, 0, true},
                                         NotifyCase{"LeftDown", 128, 0x0201, 0, false},
                                         NotifyCase{"RightDownAlone", 128, 0x0204, 0, false},
                                         NotifyCase{"MouseMove", 128, 0x0200, 0, false},
                                         NotifyCase{"AnotherIcon", 129, 0x0202, 1, false}),
                         CaseName());

TEST_F(Tray, ARightClickOpensTheTwoItemMenuAtTheCursorBuiltAnewEachTime) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.ClearLog();
        ui.cursor = {1300, 740};
        EXPECT_EQ(host.TrayNotify(128, 0x0205), 0);
        ui.cursor = {1250, 700};
        EXPECT_EQ(host.TrayNotify(128, 0x0205), 0);

        ASSERT_EQ(host.Menus().size(), 2u);
        EXPECT_EQ(host.Menus()[0].items, kTrayMenu);
        EXPECT_EQ(host.Menus()[0].at, (zui::Point{1300, 740}));
        EXPECT_EQ(host.Menus()[1].items, kTrayMenu);
        EXPECT_EQ(host.Menus()[1].at, (zui::Point{1250, 700}));
        // The window in front first, so that a click elsewhere closes the menu.
        EXPECT_TRUE(InOrder(host, {"foreground", "menu at 1300,740", "foreground", "menu at 1250,700"}));
    });
}

TEST_F(Tray, TheMenusFirstItemBringsTheWindowBackAndAClickElsewhereDoesNothing) {
    ui.menuPicks = {-1, 0};
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.SystemCommand(zui::SystemCommandClose);
        host.TrayNotify(128, 0x0205);
        ui.RunPostedCalls();
        EXPECT_FALSE(host.IsVisible());

        host.ClearLog();
        host.TrayNotify(128, 0x0205);
        // The chosen command comes once the menu has closed.
        EXPECT_FALSE(host.IsVisible());
        ui.RunPostedCalls();
        EXPECT_TRUE(host.IsVisible());
        EXPECT_TRUE(InOrder(host, {"menu at 1300,740", "foreground", "window shown"}));
        EXPECT_FALSE(host.Ended());
    });
}

TEST_F(Tray, ExitFromTheMenuEndsTheRunSavesTheModeAndRemovesTheIcon) {
    ui.menuPicks = {1};
    const int result = Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.Click(IdTempControlButton);
        host.TrayNotify(128, 0x0205);
        ui.RunPostedCalls();
        EXPECT_TRUE(host.Ended());
    });
    EXPECT_EQ(result, zui::kIdCancel);
    EXPECT_EQ(SavedMode(), "1");
    EXPECT_TRUE(ui.NotifyIcons().empty());
}

TEST_F(Tray, WithoutANotificationAreaTheWindowIsNeverHidden) {
    ui.trayAvailable = false;
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_TRUE(host.NotifyIcons().empty());
        EXPECT_EQ(Count(host, "window hidden"), 0);
        host.SystemCommand(zui::SystemCommandMinimize);
        EXPECT_TRUE(host.IsVisible());
        EXPECT_TRUE(host.IsMinimized());
        EXPECT_FALSE(host.Ended());
    });
}

TEST_F(Tray, TheSystemMenuEndsWithASeparatorAndTheAboutItem) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_EQ(host.SystemMenu(),
                  (std::vector<FakeMenuItem>{{0x0800, 0, ""}, {0, 0x0010, "关于 Zephyrine(&A)..."}}));
    });
}

TEST_F(Tray, TheAboutItemRunsTheAboutBoxAndReturnsToTheWindowUnchanged) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.AdvanceMs(1); // the placement
        const zui::Rect placed = host.WindowRect();
        bool ran = false;
        ui.ScriptNextRun([&](FakeDialogHost& about) {
            ran = true;
            EXPECT_EQ(about.Description().resourceId, 100);
            EXPECT_EQ(about.Description().title, "关于 Zephyrine");
            EXPECT_EQ(about.Control(zui::kIdOk).text, "确定");
            EXPECT_TRUE(about.IsVisible());
            about.Click(zui::kIdOk);
            EXPECT_TRUE(about.Ended());
            EXPECT_EQ(about.Result(), zui::kIdOk);
        });
        host.ClearLog();

        host.ChooseSystemMenuItem(1);

        EXPECT_TRUE(ran);
        EXPECT_FALSE(host.Ended());
        EXPECT_TRUE(host.IsVisible());
        EXPECT_EQ(host.WindowRect(), placed);
        EXPECT_TRUE(host.CallLog().empty());
        EXPECT_TRUE(ui.Boxes().empty());
    });
}

TEST_F(Tray, ALeftPressOutsideTheButtonsMovesTheWindow) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        const zui::Point onLabel = CentreOf(host.Control(LabelInputVoltage).rect);
        const zui::Point onButton = CentreOf(host.Control(IdEcoButton).rect);
        // Hidden in Eco, so the press goes to the window.
        const zui::Point onHiddenButton = CentreOf(host.Control(IdSetSpeedButton).rect);
        host.ClearLog();

        host.LeftPress(onLabel);
        host.LeftPress({5, 200});
        host.LeftPress(onButton);
        host.LeftPress(onHiddenButton);

        const auto at = [](zui::Point p) {
            return "system move " + std::to_string(p.x) + "," + std::to_string(p.y);
        };
        EXPECT_EQ(host.CallLog(), (std::vector<std::string>{at(onLabel), at({5, 200}), at(onHiddenButton)}));
    });
}

} // namespace
