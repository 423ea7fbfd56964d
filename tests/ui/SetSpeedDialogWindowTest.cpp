#include "ui/SetSpeedDialogWindow.h"

#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "ui/CCDlgSetSpeed.h"
#include "ui/framework/ApplicationBase.h"
#include "ui/framework/DialogCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The fan-speed dialog on the fake backend: template 154 with CCDlgSetSpeed behind it.
class SetSpeedDialogWindowTest : public testing::Test {
protected:
    // Runs the dialog; user acts on its window and should end it.
    int Run(const std::function<void(FakeDialogHost&)>& user) {
        SetSpeedDialogWindow window(app, dialog);
        ui.ScriptNextRun([&](FakeDialogHost& host) {
            host.ClearLog();
            user(host);
        });
        return window.DoModal();
    }

    FakeUiPlatform ui;
    zui::ApplicationBase app{ui, "/opt/zephyrine/Zephyrine"};
    CCDlgSetSpeed dialog;
};

TEST_F(SetSpeedDialogWindowTest, OpensTemplate154WithZeroInTheEditAndTheFocusOnOk) {
    Run([](FakeDialogHost& host) {
        EXPECT_EQ(host.Description().resourceId, 154);
        EXPECT_EQ(host.Description().title, "风扇转速设置");
        EXPECT_FALSE(host.Description().systemMenu);
        EXPECT_EQ(host.ControlText(1065), "0");
        EXPECT_EQ(host.FocusedControl(), zui::kIdOk);
        host.Click(zui::kIdCancel);
    });
}

struct EndCase {
    const char* name;
    std::function<void(FakeDialogHost&)> user;
    int result;
    int confirmed;
    int acceptedSpeed;
};

class SetSpeedDialogEnds : public SetSpeedDialogWindowTest, public testing::WithParamInterface<EndCase> {};

TEST_P(SetSpeedDialogEnds, OkAndEnterConfirmCancelEscapeAndCloseDoNot) {
    EXPECT_EQ(Run(GetParam().user), GetParam().result);
    EXPECT_EQ(dialog.m_confirmed, GetParam().confirmed);
    EXPECT_EQ(dialog.m_acceptedSpeed, GetParam().acceptedSpeed);
}

void Type(FakeDialogHost& host, const char* text) {
    host.SetFocusToControl(1065);
    host.SetControlText(1065, text);
}

INSTANTIATE_TEST_SUITE_P(Users, SetSpeedDialogEnds,
                         testing::Values(EndCase{"OkButton",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, "2200");
                                                     host.Click(zui::kIdOk);
                                                 },
                                                 zui::kIdOk, 1, 2200},
                                         EndCase{"EnterInTheEdit",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, " 1500 ");
                                                     host.PressKey(zui::KeyReturn);
                                                 },
                                                 zui::kIdOk, 1, 1500},
                                         EndCase{"CancelButton",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, "1500");
                                                     host.Click(zui::kIdCancel);
                                                 },
                                                 zui::kIdCancel, 0, 0},
                                         EndCase{"Escape",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, "1500");
                                                     host.PressKey(zui::KeyEscape);
                                                 },
                                                 zui::kIdCancel, 0, 0},
                                         EndCase{"EnterOnTheFocusedCancelButton",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, "1500");
                                                     host.SetFocusToControl(zui::kIdCancel);
                                                     host.PressKey(zui::KeyReturn);
                                                 },
                                                 zui::kIdCancel, 0, 0},
                                         EndCase{"CloseRequest",
                                                 [](FakeDialogHost& host) {
                                                     Type(host, "1500");
                                                     host.SystemCommand(zui::SystemCommandClose);
                                                 },
                                                 zui::kIdCancel, 0, 0}),
                         CaseName());

TEST_F(SetSpeedDialogWindowTest, ARefusedTextKeepsTheDialogOpenWithTheEditSelected) {
    Run([&](FakeDialogHost& host) {
        Type(host, "-1");
        host.SetFocusToControl(zui::kIdOk);
        host.Click(zui::kIdOk);

        EXPECT_FALSE(host.Ended());
        EXPECT_EQ(host.FocusedControl(), 1065);
        EXPECT_EQ(host.CallLog(), (std::vector<std::string>{"text 1065 -1", "select 1065"}));
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, "请输入一个 0 至 2200 之间的整数。");
        EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::Exclamation);
        EXPECT_EQ(ui.Boxes()[0].caption, "Zephyrine");
        EXPECT_TRUE(ui.Boxes()[0].owned);
        host.Click(zui::kIdCancel);
    });
}

TEST_F(SetSpeedDialogWindowTest, TheConfirmationIsAPlainBoxOfTheDialog) {
    Run([&](FakeDialogHost& host) {
        Type(host, "0");
        host.Click(zui::kIdOk);
    });
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "风机转速将被修改为：0");
    EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::None);
    EXPECT_EQ(ui.Boxes()[0].buttons, zui::MessageBoxButtons::Ok);
    EXPECT_TRUE(ui.Boxes()[0].owned);
}

} // namespace
