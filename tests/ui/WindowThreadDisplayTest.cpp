#include "ui/WindowThreadDisplay.h"

#include "support/FakeUi.h"
#include "support/RecordingDisplay.h"

#include <gtest/gtest.h>

#include <atomic>
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

TEST(WindowThreadDisplay, CarriesOutEachOperationOnTheWindowsThreadWhileTheCallerWaits) {
    FakeUiPlatform ui;
    SyncCallQueue calls(ui.WindowThreadPoster());
    ThreadNotingDisplay window;
    WindowThreadDisplay display(calls, window);
    std::atomic<int> returned{0};

    std::thread reader([&] {
        display.SetLabelText(1035, "12.01");
        returned = 1;
        display.RefreshLabelArea(1035);
        returned = 2;
        display.ShowWarning("warm");
        returned = 3;
    });
    ASSERT_TRUE(ui.PumpUntil([&] { return returned == 3; }));
    reader.join();

    EXPECT_EQ(window.recorded.Operations(),
              (std::vector<std::string>{"text 1035 12.01", "refresh 1035", "warning"}));
    for (const auto& id : window.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(WindowThreadDisplay, DoesNothingAndReturnsAtOnceOnceTheQueueIsClosed) {
    FakeUiPlatform ui;
    SyncCallQueue calls(ui.WindowThreadPoster());
    RecordingDisplay window;
    WindowThreadDisplay display(calls, window);

    std::thread reader([&] { display.SetLabelText(1035, "12.01"); });
    calls.Close();
    reader.join();
    ui.RunPostedCalls();

    EXPECT_TRUE(window.Operations().empty());
}

} // namespace
