#include "ui/contract/DialogContract.h"

#include "common/SyncCallQueue.h"
#include "ui/DialogTemplates.h"
#include "ui/TemplateDescription.h"
#include "ui/framework/DialogBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// A dialog over the fan-speed template that writes down what reaches it and does what the test asks at
// each step.
class ContractDialog final : public zui::DialogBase {
public:
    ContractDialog(zui::ApplicationBase& app, const zui::DialogDescription& description, std::string name,
                   std::vector<std::string>& log)
        : zui::DialogBase(app, description), m_name(std::move(name)), m_log(log) {}

    std::function<int()> onCreate = [] { return 0; };
    std::function<void()> onInit = [] {};
    std::function<void(int)> onTimer = [](int) {};

    void AttachHost(zui::DialogHost* host) override {
        Write(host != nullptr ? "attach" : "detach");
        zui::DialogBase::AttachHost(host);
    }
    int OnCreate() override {
        Write("create");
        return onCreate();
    }
    bool OnInitDialog() override {
        Write("init, edit text '" + Host().ControlText(1065) + "', " + Visibility());
        zui::DialogBase::OnInitDialog();
        onInit();
        return true;
    }
    void OnTimer(int timerId) override {
        Write("timer " + std::to_string(timerId));
        onTimer(timerId);
    }
    void OnCommand(int commandId) override {
        Write("command " + std::to_string(commandId));
        zui::DialogBase::OnCommand(commandId);
    }
    void OnEndSession() override { Write("end session"); }
    void OnDestroy() override { Write("destroy, " + Visibility()); }

    void Write(const std::string& entry) { m_log.push_back(m_name + ": " + entry); }

private:
    std::string Visibility() const { return Host().IsVisible() ? "shown" : "hidden"; }

    std::string m_name;
    std::vector<std::string>& m_log;
};

class DialogContract : public testing::Test {
protected:
    ContractDialog Dialog(std::string name) { return ContractDialog(app, description, std::move(name), log); }

    std::unique_ptr<ContractBackend> backend = MakeContractBackend();
    zui::ApplicationBase app{backend->Ui(), "/opt/zephyrine/Zephyrine"};
    const zui::DialogDescription description = DescribeTemplate(SetSpeedDialogTemplate());
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(DialogContract, RunsInOneOrderAndEndsOnTheFirstTimerThatEndsIt) {
    ContractDialog dialog = Dialog("dialog");
    dialog.onInit = [&] { dialog.Host().SetTimer(7, 10); };
    dialog.onTimer = [&](int) { dialog.EndDialog(zui::kIdOk); };
    EXPECT_EQ(dialog.DoModal(), zui::kIdOk);
    EXPECT_EQ(log, (Log{"dialog: attach", "dialog: create", "dialog: init, edit text '', hidden",
                        "dialog: timer 7", "dialog: destroy, shown", "dialog: detach"}));
}

TEST_F(DialogContract, ARunEndedDuringItsInitialisationIsNeverShown) {
    ContractDialog dialog = Dialog("dialog");
    dialog.onInit = [&] { dialog.EndDialog(zui::kIdCancel); };
    EXPECT_EQ(dialog.DoModal(), zui::kIdCancel);
    EXPECT_EQ(log, (Log{"dialog: attach", "dialog: create", "dialog: init, edit text '', hidden",
                        "dialog: destroy, hidden", "dialog: detach"}));
}

TEST_F(DialogContract, ARefusedCreationEndsTheRunBeforeItsInitialisation) {
    ContractDialog dialog = Dialog("dialog");
    dialog.onCreate = [] { return -1; };
    EXPECT_EQ(dialog.DoModal(), zui::kDialogCreationFailed);
    EXPECT_EQ(log, (Log{"dialog: attach", "dialog: create", "dialog: detach"}));
    EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(DialogContract, EndingARunEndsTheRunsAboveItFirst) {
    ContractDialog outer = Dialog("outer");
    ContractDialog inner = Dialog("inner");
    int innerResult = 0;
    outer.onInit = [&] { outer.Host().SetTimer(1, 10); };
    outer.onTimer = [&](int) {
        outer.Host().KillTimer(1);
        innerResult = inner.DoModal(&outer.Host());
        outer.Write("inner returned");
    };
    inner.onInit = [&] { inner.Host().SetTimer(2, 10); };
    inner.onTimer = [&](int) { outer.EndDialog(zui::kIdOk); };

    EXPECT_EQ(outer.DoModal(), zui::kIdOk);
    EXPECT_EQ(innerResult, zui::kIdCancel);
    EXPECT_EQ(log, (Log{"outer: attach", "outer: create", "outer: init, edit text '', hidden",
                        "outer: timer 1", "inner: attach", "inner: create",
                        "inner: init, edit text '', hidden", "inner: timer 2", "inner: destroy, shown",
                        "inner: detach", "outer: inner returned", "outer: destroy, shown", "outer: detach"}));
}

// The reading thread waits on calls posted to the window while a warning box is open; ending the run closes
// the box.
TEST_F(DialogContract, PostedCallsRunInsideAMessageBoxAndEndingTheRunClosesIt) {
    ContractDialog dialog = Dialog("dialog");
    dialog.onInit = [&] { dialog.Host().SetTimer(1, 10); };
    dialog.onTimer = [&](int) {
        dialog.Host().KillTimer(1);
        backend->Ui().WindowThreadPoster()([&] {
            dialog.Write("posted call");
            dialog.EndDialog(zui::kIdOk);
        });
        dialog.ShowMessageBox("box", zui::MessageBoxButtons::Ok, zui::MessageBoxIcon::None);
        dialog.Write("box closed");
    };
    EXPECT_EQ(dialog.DoModal(), zui::kIdOk);
    EXPECT_EQ(
        log, (Log{"dialog: attach", "dialog: create", "dialog: init, edit text '', hidden", "dialog: timer 1",
                  "dialog: posted call", "dialog: box closed", "dialog: destroy, shown", "dialog: detach"}));
}

// The reading thread's display calls: each runs on the window's thread while the calling thread waits.
TEST_F(DialogContract, ACallFromAnotherThreadRunsOnTheWindowsThreadWhileTheCallerWaits) {
    ContractDialog dialog = Dialog("dialog");
    SyncCallQueue calls(backend->Ui().WindowThreadPoster());
    const std::thread::id windowThread = std::this_thread::get_id();
    std::atomic<bool> returned{false};
    std::thread::id ranOn;
    std::thread caller;
    dialog.onInit = [&] {
        dialog.Host().SetTimer(1, 10);
        caller = std::thread([&] {
            calls.Call([&] { ranOn = std::this_thread::get_id(); });
            returned = true;
        });
    };
    dialog.onTimer = [&](int) {
        if (returned) {
            dialog.EndDialog(zui::kIdOk);
        }
    };
    EXPECT_EQ(dialog.DoModal(), zui::kIdOk);
    caller.join();
    EXPECT_EQ(ranOn, windowThread);
}

// A termination signal while a popup menu runs its loop: the menu closes without a command and the main run
// ends with the cancel command, as the tray menu's exit ends it.
TEST_F(DialogContract, AnEndRequestClosesAnOpenPopupMenuAndCancelsTheMainRun) {
    ContractDialog dialog = Dialog("dialog");
    dialog.onInit = [&] { dialog.Host().SetTimer(1, 10); };
    dialog.onTimer = [&](int) {
        dialog.Host().KillTimer(1);
        backend->Ui().WindowThreadPoster()([&] {
            dialog.Write("posted call");
            backend->Ui().CancelMainDialog();
        });
        const zui::MenuItem items[] = {{zui::MenuString, 7, "item"}};
        dialog.Host().TrackPopupMenu(items, {100, 100});
        dialog.Write("menu closed");
    };
    EXPECT_EQ(dialog.DoModal(), zui::kIdCancel);
    EXPECT_EQ(log, (Log{"dialog: attach", "dialog: create", "dialog: init, edit text '', hidden",
                        "dialog: timer 1", "dialog: posted call", "dialog: command 2", "dialog: menu closed",
                        "dialog: destroy, shown", "dialog: detach"}));
}

// A box of no window inside a nested run closes too, and the nested run ends before the main one.
TEST_F(DialogContract, AnEndRequestClosesABoxOfNoWindowAndEndsTheNestedRunThenTheMainOne) {
    ContractDialog outer = Dialog("outer");
    ContractDialog inner = Dialog("inner");
    outer.onInit = [&] { outer.Host().SetTimer(1, 10); };
    outer.onTimer = [&](int) {
        outer.Host().KillTimer(1);
        outer.Write("inner returned " + std::to_string(inner.DoModal(&outer.Host())));
    };
    inner.onInit = [&] { inner.Host().SetTimer(2, 10); };
    inner.onTimer = [&](int) {
        inner.Host().KillTimer(2);
        backend->Ui().WindowThreadPoster()([&] {
            inner.Write("posted call");
            backend->Ui().CancelMainDialog();
        });
        const int answer = backend->Ui().ShowMessageBox("box", "caption", zui::MessageBoxButtons::Ok,
                                                        zui::MessageBoxIcon::None, nullptr);
        inner.Write("box answered " + std::to_string(answer));
    };

    EXPECT_EQ(outer.DoModal(), zui::kIdCancel);
    EXPECT_EQ(log,
              (Log{"outer: attach", "outer: create", "outer: init, edit text '', hidden", "outer: timer 1",
                   "inner: attach", "inner: create", "inner: init, edit text '', hidden", "inner: timer 2",
                   "inner: posted call", "outer: command 2", "inner: box answered 2", "inner: destroy, shown",
                   "inner: detach", "outer: inner returned 2", "outer: destroy, shown", "outer: detach"}));
}

// A second copy's "already running" box: no dialog is open, and closing the box is all there is to end.
TEST_F(DialogContract, AnEndRequestWithoutADialogClosesTheBoxOfNoWindow) {
    backend->Ui().WindowThreadPoster()([&] {
        log.push_back("posted call");
        backend->Ui().CancelMainDialog();
    });
    EXPECT_EQ(backend->Ui().ShowMessageBox("box", "caption", zui::MessageBoxButtons::Ok,
                                           zui::MessageBoxIcon::Exclamation, nullptr),
              zui::kIdCancel);
    EXPECT_EQ(log, Log{"posted call"});
}

// The session's end reaches each open dialog once, and leaves the runs to go on.
TEST_F(DialogContract, TheSessionsEndReachesEveryOpenDialogOnceAndEndsNoRun) {
    ContractDialog outer = Dialog("outer");
    ContractDialog inner = Dialog("inner");
    int innerResult = 0;
    outer.onInit = [&] { outer.Host().SetTimer(1, 10); };
    outer.onTimer = [&](int) {
        outer.Host().KillTimer(1);
        innerResult = inner.DoModal(&outer.Host());
        outer.EndDialog(zui::kIdOk);
    };
    inner.onInit = [&] { inner.Host().SetTimer(2, 10); };
    inner.onTimer = [&](int) {
        inner.Host().KillTimer(2);
        backend->EndSession();
        inner.Write("session ended, run " + std::string(inner.HasWindow() ? "on" : "gone"));
        inner.EndDialog(zui::kIdOk);
    };

    EXPECT_EQ(outer.DoModal(), zui::kIdOk);
    EXPECT_EQ(innerResult, zui::kIdOk);
    EXPECT_EQ(std::ranges::count(log, "outer: end session"), 1);
    EXPECT_EQ(std::ranges::count(log, "inner: end session"), 1);
    const auto ended = std::ranges::find(log, "inner: session ended, run on");
    ASSERT_NE(ended, log.end());
    EXPECT_EQ(std::ranges::count(log.begin(), ended, "inner: destroy, shown"), 0);
}

} // namespace
