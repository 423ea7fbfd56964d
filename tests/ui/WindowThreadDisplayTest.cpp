#include "ui/WindowThreadDisplay.h"

#include "support/FakeUi.h"
#include "support/RecordingDisplay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Records which thread each operation ran on.
class ThreadNotingDisplay final : public ReadingDisplay {
public:
    void SetLabelText(int controlId, const std::string& text) override {
        threads.push_back(std::this_thread::get_id());
        recorded.SetLabelText(controlId, text);
    }
    void RefreshLabelArea(int controlId) override {
        threads.push_back(std::this_thread::get_id());
        recorded.RefreshLabelArea(controlId);
    }
    void ShowWarning(const std::string& text) override {
        threads.push_back(std::this_thread::get_id());
        recorded.ShowWarning(text);
    }

    std::vector<std::thread::id> threads;
    RecordingDisplay recorded;
};

// The window's thread: posted calls are counted, then run.
struct CountingWindowThread {
    FakeUiPlatform ui;
    int posted = 0;
    SyncCallQueue calls{[this](std::function<void()> call) {
        ++posted;
        ui.WindowThreadPoster()(std::move(call));
    }};
};

TEST(WindowThreadDisplay, CarriesOutAPassesLabelOperationsInOrderInOneCallAtTheEndOfTheReadings) {
    CountingWindowThread window;
    ThreadNotingDisplay target;
    WindowThreadDisplay display(window.calls, target);
    std::atomic<int> step{0};

    std::thread reader([&] {
        display.SetLabelText(1066, "906");
        display.RefreshLabelArea(1066);
        display.SetLabelText(1057, "0.00");
        display.RefreshLabelArea(1057);
        step = 1;
        display.EndReadings();
        step = 2;
    });
    ASSERT_TRUE(window.ui.PumpUntil([&] { return step == 2; }));
    reader.join();

    EXPECT_EQ(window.posted, 1);
    EXPECT_EQ(target.recorded.Operations(),
              (std::vector<std::string>{"text 1066 906", "refresh 1066", "text 1057 0.00", "refresh 1057"}));
    ASSERT_EQ(target.threads.size(), 4u);
    for (const auto& id : target.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(WindowThreadDisplay, HoldsNothingBackUntilTheEndOfTheReadings) {
    CountingWindowThread window;
    RecordingDisplay target;
    WindowThreadDisplay display(window.calls, target);

    display.SetLabelText(1035, "12.01");
    display.RefreshLabelArea(1035);

    EXPECT_EQ(window.posted, 0);
    EXPECT_TRUE(target.Operations().empty());
}

TEST(WindowThreadDisplay, AWarningComesAfterTheLabelsHeldBeforeIt) {
    CountingWindowThread window;
    ThreadNotingDisplay target;
    WindowThreadDisplay display(window.calls, target);
    std::atomic<bool> returned{false};

    std::thread reader([&] {
        display.SetLabelText(1065, "75");
        display.RefreshLabelArea(1065);
        display.ShowWarning("warm");
        display.EndReadings(); // nothing left to carry
        returned = true;
    });
    ASSERT_TRUE(window.ui.PumpUntil([&] { return returned.load(); }));
    reader.join();

    EXPECT_EQ(target.recorded.Operations(),
              (std::vector<std::string>{"text 1065 75", "refresh 1065", "warning"}));
    EXPECT_EQ(target.recorded.Warnings(), (std::vector<std::string>{"warm"}));
    EXPECT_EQ(window.posted, 2);
    for (const auto& id : target.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(WindowThreadDisplay, DoesNothingAndReturnsAtOnceOnceTheQueueIsClosed) {
    FakeUiPlatform ui;
    SyncCallQueue calls(ui.WindowThreadPoster());
    RecordingDisplay window;
    WindowThreadDisplay display(calls, window);

    std::thread reader([&] {
        display.SetLabelText(1035, "12.01");
        display.EndReadings();
    });
    calls.Close();
    reader.join();
    ui.RunPostedCalls();

    EXPECT_TRUE(window.Operations().empty());
}

} // namespace
