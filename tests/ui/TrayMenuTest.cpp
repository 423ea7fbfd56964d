#include "ui/TrayMenu.h"

#include "ui/DialogTemplates.h"

#include <gtest/gtest.h>

namespace {

TEST(TrayMenu, ShowsTheWindowItemInItsOwnColumnThenExitAsTheCancelCommand) {
    const auto& items = TrayMenuItems();

    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "界面");
    EXPECT_EQ(items[0].commandId, 1026);
    EXPECT_EQ(items[0].flags, 0x20u);
    EXPECT_EQ(items[1].text, "退出");
    EXPECT_EQ(items[1].commandId, kIdCancel);
    EXPECT_EQ(items[1].flags, 0u);
}

struct NotifyCase {
    int iconId;
    std::uint32_t mouseMessage;
    TrayAction action;
    int result;
};

class TrayNotify : public testing::TestWithParam<NotifyCase> {};

TEST_P(TrayNotify, DecidesByIconAndMouseMessage) {
    const TrayNotifyDecision decision = DecideTrayNotify(GetParam().iconId, GetParam().mouseMessage);

    EXPECT_EQ(decision.action, GetParam().action);
    EXPECT_EQ(decision.result, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, TrayNotify,
    testing::Values(NotifyCase{128, 0x0202, TrayAction::ShowWindow, 0}, // left button up
                    NotifyCase{128, 0x0203, TrayAction::ShowWindow, 0}, // left double click
                    NotifyCase{128, 0x0205, TrayAction::OpenMenu, 0},   // right button up
                    NotifyCase{128, 0x0201, TrayAction::None, 0},       // left button down
                    NotifyCase{128, 0x0204, TrayAction::None, 0},       // right button down alone
                    NotifyCase{128, 0x0200, TrayAction::None, 0},       // mouse move
                    NotifyCase{129, 0x0202, TrayAction::None, 1},       // another icon
                    NotifyCase{0, 0x0205, TrayAction::None, 1}));

struct SystemCommandCase {
    std::uint32_t code;
    SystemCommandAction action;
};

class SystemCommand : public testing::TestWithParam<SystemCommandCase> {};

TEST_P(SystemCommand, MinimiseAndCloseHideAboutOpensTheBoxTheRestIsDefault) {
    EXPECT_EQ(DecideSystemCommand(GetParam().code), GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SystemCommand,
    testing::Values(SystemCommandCase{0xF020, SystemCommandAction::HideToTrayThenDefault}, // SC_MINIMIZE
                    SystemCommandCase{0xF060, SystemCommandAction::HideToTrayThenDefault}, // SC_CLOSE
                    SystemCommandCase{0x0010, SystemCommandAction::ShowAbout},
                    SystemCommandCase{0x001F, SystemCommandAction::ShowAbout}, // low bits set by the platform
                    SystemCommandCase{0x0020, SystemCommandAction::Default},
                    SystemCommandCase{0xF062, SystemCommandAction::Default},   // not exactly SC_CLOSE
                    SystemCommandCase{0xF030, SystemCommandAction::Default},   // SC_MAXIMIZE
                    SystemCommandCase{0xF120, SystemCommandAction::Default})); // SC_RESTORE

} // namespace
