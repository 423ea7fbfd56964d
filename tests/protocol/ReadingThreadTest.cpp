#include "protocol/ReadingThread.h"

#include "common/SyncCallQueue.h"
#include "protocol/PollCycle.h"
#include "support/ConnectedChannel.h"
#include "support/ManualPump.h"
#include "support/RecordingDisplay.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

namespace {

constexpr ReadingTimings kNoPauses{0, 0, 0};

// A display whose every operation is carried to a "window thread" that only the test pumps, as the real
// window does through its call queue.
class QueuedDisplay : public ReadingDisplay {
public:
    void SetLabelText(int id, const std::string& text) override {
        m_queue.Call([&] { m_inner.SetLabelText(id, text); });
    }
    void RefreshLabelArea(int id) override {
        m_queue.Call([&] { m_inner.RefreshLabelArea(id); });
    }
    void ShowWarning(const std::string& text) override {
        m_queue.Call([&] { m_inner.ShowWarning(text); });
    }

    bool Pump() { return m_pump.RunOne(); }
    bool HasPosted() { return m_pump.HasPosted(); }
    void Close() { m_queue.Close(); }
    const RecordingDisplay& Seen() const { return m_inner; }

private:
    RecordingDisplay m_inner;
    ManualPump m_pump;
    SyncCallQueue m_queue{m_pump.Poster()};
};

class ReadingThreadTest : public testing::Test, protected ConnectedChannel {
protected:
    ReadingThreadTest() { poll.ResetForStartup(); }

    Event pollEvent{Event::ResetMode::Automatic};
    PollCycle poll;
    CCDataProcessing processor;
    ReadingFlags flags;
    std::atomic<std::int32_t> connected{1};
};

TEST_F(ReadingThreadTest, EachTickLeadsToOnePassOverTheSuppliesReply) {
    RecordingDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    // A copy delay long enough for the reply to arrive, as on real hardware.
    ReadingThread thread(channel, pipeline, pollEvent, ReadingTimings{0, 20, 0});
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(display.Text(1056).empty());
    poll.Tick(channel, pollEvent);
    ASSERT_TRUE(WaitUntil([&] { return display.Operations().size() == 22; }));
    const int volts = std::stoi(display.Text(1056));
    EXPECT_GE(volts, 200);
    EXPECT_LE(volts, 250);
}

TEST_F(ReadingThreadTest, NoTickNoPass) {
    RecordingDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    ReadingThread thread(channel, pipeline, pollEvent, kNoPauses);
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(WaitUntil([&] { return !display.Operations().empty(); }, std::chrono::milliseconds(50)));
}

TEST_F(ReadingThreadTest, StopsWhileWaitingForATickAndDuringItsPauses) {
    RecordingDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    for (ReadingTimings timings : {kNoPauses, ReadingTimings{60000, 0, 0}, ReadingTimings{0, 60000, 0}}) {
        ReadingThread thread(channel, pipeline, pollEvent, timings);
        ASSERT_TRUE(thread.Start());
        poll.Tick(channel, pollEvent);
        const auto start = std::chrono::steady_clock::now();
        thread.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST_F(ReadingThreadTest, StopsEvenWhileAPassWaitsOnTheWindowOrAWarningBox) {
    platform.WithSupply([](VirtualPowerSupply& s) { s.ForceTemperature(75); });
    QueuedDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    ReadingThread thread(channel, pipeline, pollEvent, ReadingTimings{0, 20, 0});
    ASSERT_TRUE(thread.Start());
    poll.Tick(channel, pollEvent);
    // Let the window carry out a few operations, then stop pumping: the pass now waits on the window.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WaitUntil([&] { return display.HasPosted(); }));
        display.Pump();
    }
    ASSERT_TRUE(WaitUntil([&] { return display.HasPosted(); }));
    display.Close();
    thread.Stop();
    EXPECT_EQ(display.Seen().Operations().size(), 3u);
}

} // namespace
