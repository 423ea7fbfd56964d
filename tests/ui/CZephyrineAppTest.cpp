#include "ui/CZephyrineApp.h"

#include "MainWindowFixture.h"
#include "ui/SingleInstanceGuard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Another copy holds the lock, or none does.
class FakeInstanceLock final : public InstanceLock {
public:
    bool AcquireFirstInstance(const std::string& name) override {
        asked = name;
        return !heldElsewhere;
    }

    bool heldElsewhere = false;
    std::string asked;
};

class Application : public MainWindowFixture {
protected:
    CZephyrineApp::Services Services() { return {hid, sleeper, *settings, autostart, instanceLock, timings}; }

    FakeInstanceLock instanceLock;
};

TEST_F(Application, TakesItsTitleFromTheExecutablesFileName) {
    CZephyrineApp application(ui, Services());
    EXPECT_EQ(application.Title(), "Zephyrine");
}

TEST_F(Application, RunsTheMainWindowWhenItIsTheFirstCopy) {
    bool ran = false;
    ui.ScriptNextRun([&](FakeDialogHost& host) {
        ran = host.Title().starts_with("Lumenvale");
        host.EndDialog(zui::kIdCancel);
    });
    CZephyrineApp application(ui, Services());
    EXPECT_FALSE(application.InitInstance());
    EXPECT_TRUE(ran);
    EXPECT_EQ(instanceLock.asked, "Zephyrine");
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(Application, ASecondCopySaysSoAndEndsWithoutAWindow) {
    instanceLock.heldElsewhere = true;
    bool ran = false;
    ui.ScriptNextRun([&](FakeDialogHost&) { ran = true; });

    CZephyrineApp application(ui, Services());
    EXPECT_FALSE(application.InitInstance());

    EXPECT_FALSE(ran);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "应用程序已经启动!\r\nApplication already running!");
    EXPECT_EQ(ui.Boxes()[0].caption, "Zephyrine");
    EXPECT_EQ(ui.Boxes()[0].buttons, zui::MessageBoxButtons::Ok);
    EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::Exclamation);
    EXPECT_FALSE(ui.Boxes()[0].owned);
}

} // namespace
