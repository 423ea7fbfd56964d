#include "ui/framework/DialogBase.h"

#include "support/FakeUi.h"
#include "ui/DialogTemplates.h"
#include "ui/TemplateDescription.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A dialog with only the framework's own handling, over the fan-speed dialog's template.
class PlainDialog final : public zui::DialogBase {
public:
    PlainDialog(zui::ApplicationBase& app, const zui::DialogDescription& description)
        : zui::DialogBase(app, description) {}

    bool exchangeSucceeds = true;
    int exchanges = 0;

protected:
    bool DoDataExchange(bool saveAndValidate) override {
        ++exchanges;
        return !saveAndValidate || exchangeSucceeds;
    }
};

class DialogBaseTest : public testing::Test {
protected:
    int Run(const std::function<void(FakeDialogHost&)>& script) {
        ui.ScriptNextRun(script);
        return dialog.DoModal();
    }

    FakeUiPlatform ui;
    zui::ApplicationBase app{ui, "/opt/zephyrine/Zephyrine"};
    const zui::DialogDescription description = DescribeTemplate(SetSpeedDialogTemplate());
    PlainDialog dialog{app, description};
};

TEST_F(DialogBaseTest, EscapeCancelsAndTheCloseBoxToo) {
    EXPECT_EQ(Run([](FakeDialogHost& host) { EXPECT_TRUE(host.PressKey(zui::KeyEscape)); }), kIdCancel);
    EXPECT_EQ(Run([](FakeDialogHost& host) { host.SystemCommand(zui::SystemCommandClose); }), kIdCancel);
}

TEST_F(DialogBaseTest, EnterPressesTheFocusedPushButtonOrElseTheDefaultOne) {
    EXPECT_EQ(Run([](FakeDialogHost& host) { host.PressKey(zui::KeyReturn); }), kIdOk);
    EXPECT_EQ(Run([](FakeDialogHost& host) {
                  host.SetFocusToControl(kIdCancel);
                  host.PressKey(zui::KeyReturn);
              }),
              kIdCancel);
    EXPECT_EQ(Run([](FakeDialogHost& host) {
                  host.SetFocusToControl(1065); // the edit
                  host.PressKey(zui::KeyReturn);
              }),
              kIdOk);
}

TEST_F(DialogBaseTest, OkEndsOnlyWhenTheDataExchangeSucceeds) {
    dialog.exchangeSucceeds = false;
    Run([&](FakeDialogHost& host) {
        host.Click(kIdOk);
        EXPECT_FALSE(host.Ended());
        dialog.exchangeSucceeds = true;
        host.Click(kIdOk);
        EXPECT_EQ(host.Result(), kIdOk);
    });
}

TEST_F(DialogBaseTest, ExchangesTowardsTheControlsAtInitShowsAVisibleTemplateAndFocusesTheFirstTabStop) {
    Run([&](FakeDialogHost& host) {
        EXPECT_EQ(dialog.exchanges, 1);
        EXPECT_TRUE(host.IsVisible());
        EXPECT_EQ(host.FocusedControl(), kIdOk);
        EXPECT_TRUE(dialog.HasWindow());
    });
    EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(DialogBaseTest, BoxesCarryTheApplicationsTitleAndTheDialogAsOwner) {
    Run([&](FakeDialogHost&) {
        dialog.ShowMessageBox("text", zui::MessageBoxButtons::OkCancel, zui::MessageBoxIcon::None);
    });
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].caption, "Zephyrine");
    EXPECT_TRUE(ui.Boxes()[0].owned);
}

TEST(ApplicationBase, TitleIsTheExecutablesFileNameWithoutExtension) {
    EXPECT_EQ(zui::ApplicationBase::TitleFromModuleFileName("C:\\Program Files\\Z\\Zephyrine.exe"),
              "Zephyrine");
    EXPECT_EQ(zui::ApplicationBase::TitleFromModuleFileName("/opt/zephyrine/Zephyrine"), "Zephyrine");
    EXPECT_EQ(zui::ApplicationBase::TitleFromModuleFileName("/home/a.b/monitor.bin"), "monitor");
    EXPECT_EQ(zui::ApplicationBase::TitleFromModuleFileName("/opt/.hidden"), ".hidden");
}

TEST(DescribeTemplate, KeepsTheTemplatesControlsKindsAndStylesInTabOrder) {
    const zui::DialogDescription dialog = DescribeTemplate(SetSpeedDialogTemplate());
    EXPECT_EQ(dialog.resourceId, 154);
    EXPECT_EQ(dialog.title, "风扇转速设置");
    EXPECT_FALSE(dialog.systemMenu);
    EXPECT_TRUE(dialog.visible);
    EXPECT_EQ(dialog.widthDialogUnits, 311);
    ASSERT_EQ(dialog.controls.size(), 5u);
    EXPECT_EQ(dialog.controls[0].kind, zui::ControlKind::PushButton);
    EXPECT_TRUE(dialog.controls[0].defaultButton);
    EXPECT_EQ(dialog.controls[2].kind, zui::ControlKind::StaticText);
    EXPECT_EQ(dialog.controls[2].align, zui::TextAlign::Left);
    EXPECT_EQ(dialog.controls[4].id, 1065);
    EXPECT_EQ(dialog.controls[4].kind, zui::ControlKind::Edit);
    EXPECT_TRUE(dialog.controls[4].tabStop);
    EXPECT_EQ(dialog.controls[4].rect.x, 73);

    const zui::DialogDescription about = DescribeTemplate(AboutDialogTemplate());
    EXPECT_EQ(about.controls[0].kind, zui::ControlKind::StaticIcon);
    EXPECT_EQ(about.controls[0].iconId, 128);
}

} // namespace
