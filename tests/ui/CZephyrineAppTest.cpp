#include "ui/CZephyrineApp.h"

#include "MainWindowFixture.h"
#include "ui/SingleInstanceGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The instance lock lives in $XDG_RUNTIME_DIR; each test gets its own.
class Application : public MainWindowFixture {
protected:
    Application() {
        if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) {
            m_previous = previous;
        }
        ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    }
    ~Application() override {
        if (m_previous) {
            ::setenv("XDG_RUNTIME_DIR", m_previous->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

    CZephyrineApp::Services Services() { return {hid, sleeper, *settings, timings}; }

private:
    std::optional<std::string> m_previous;
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
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(Application, ASecondCopySaysSoAndEndsWithoutAWindow) {
    const SingleInstanceGuard first(CZephyrineApp::kInstanceName);
    ASSERT_TRUE(first.IsFirstInstance());
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
