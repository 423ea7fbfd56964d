#include "ui/CZephyrineApp.h"

#include "MainWindowFixture.h"
#include "ui/ProgramOptions.h"
#include "ui/SingleInstanceGuard.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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
    CZephyrineApp::Services Services(Autostart& registration) {
        return {hid, sleeper, *settings, registration, instanceLock, timings};
    }
    CZephyrineApp::Services Services() { return Services(autostart); }

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

// Trying the demo must not make the program start at every log-on; the registration is chosen as main does.
TEST_F(Application, RegistersForAutostartAtEveryStartExceptInTheDemo) {
    const struct {
        std::vector<std::string> args;
        bool registers;
    } cases[] = {{{}, true},
                 {{"--poll-interval", "1000"}, true},
                 {{"--simulate"}, false},
                 {{"--simulate", "--simulate-log", "frames.log"}, false}};
    for (const auto& [args, registers] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        autostart.registered.clear();
        const ProgramOptionsResult parsed = ParseProgramOptions(args);
        ASSERT_EQ(parsed.error, "");
        bool ran = false;
        ui.ScriptNextRun([&](FakeDialogHost& host) {
            ran = true;
            host.EndDialog(zui::kIdCancel);
        });

        CZephyrineApp application(ui, Services(AutostartFor(parsed.options, autostart)));
        application.InitInstance();

        EXPECT_TRUE(ran);
        const std::map<std::string, std::string> expected =
            registers ? std::map<std::string, std::string>{{"Zephyrine", "/opt/zephyrine/Zephyrine"}}
                      : std::map<std::string, std::string>{};
        EXPECT_EQ(autostart.registered, expected);
    }
}

} // namespace
