#include "device/win32/Win32HidPlatform.h"

#include "common/Sleeper.h"
#include "common/win32/Utf16.h"
#include "device/CCUsbHid.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <future>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kReport = CCUsbHid::kReportBytes;
using Report = std::array<std::uint8_t, kReport>;

Report Filled(std::uint8_t value) {
    Report report;
    report.fill(value);
    return report;
}

// This machine has no supply attached (wine has no HID devices at all).
TEST(Win32HidPlatformChannel, WithNoSupplyOpenDeviceFindsNothingAndWritesNothing) {
    Win32HidPlatform platform;
    SystemSleeper sleeper;
    CCUsbHid channel(platform, sleeper);
    const CCUsbHid::Report zeros{};

    EXPECT_EQ(channel.OpenDevice(0x04D8), 0);
    EXPECT_EQ(channel.Disconnected(), 1);
    EXPECT_EQ(channel.ReadBufferSnapshot(), zeros);
    EXPECT_EQ(channel.WriteBufferSnapshot(), zeros);

    const std::uint8_t frame[6] = {0xAA, 0x7E, 0x80, 0, 0, 0};
    EXPECT_EQ(channel.WriteReport(6, frame), 0);
    EXPECT_EQ(channel.ReadBufferSnapshot(), zeros);
    EXPECT_EQ(channel.WriteBufferSnapshot(), zeros);
}

TEST(Win32HidPlatformEnumeration, ListsOnlyInterfacesWithAPath) {
    Win32HidPlatform platform;
    const auto interfaces = platform.EnumerateInterfaces();
    ASSERT_TRUE(interfaces.has_value());
    for (const auto& entry : *interfaces) {
        EXPECT_TRUE(entry.detailFetched);
        EXPECT_FALSE(entry.path.empty());
    }
}

TEST(Win32HidPlatformOpen, APathThatDoesNotExistGivesNoHandle) {
    Win32HidPlatform platform;
    for (const HidAccess access : {HidAccess::Query, HidAccess::Read, HidAccess::Write}) {
        EXPECT_EQ(platform.Open("\\\\?\\hid#vid_04d8&pid_003f#absent", access), nullptr);
    }
}

// A named pipe stands in for the device: the handle under test opens its client end with the same CreateFileW
// flags as a HID interface and does the same overlapped I/O on it, while the test plays the device at the
// server end.
class PipeDevice {
public:
    // inboundBytes is the room for what the handle writes; a small room makes a write wait for the device.
    explicit PipeDevice(DWORD inboundBytes = 4096) : PipeDevice(UniquePath(), inboundBytes) {}
    PipeDevice(std::string path, DWORD inboundBytes = 4096) : m_path(std::move(path)) {
        m_server = CreateNamedPipeW(Utf8ToUtf16(m_path).c_str(), PIPE_ACCESS_DUPLEX,
                                    PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, inboundBytes, 0,
                                    nullptr);
    }
    ~PipeDevice() {
        if (m_server != INVALID_HANDLE_VALUE) {
            CloseHandle(m_server);
        }
    }
    PipeDevice(const PipeDevice&) = delete;
    PipeDevice& operator=(const PipeDevice&) = delete;

    bool IsReady() const { return m_server != INVALID_HANDLE_VALUE; }
    const std::string& Path() const { return m_path; }

    // Accepts the client that has just opened the path.
    bool Accept() { return ConnectNamedPipe(m_server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED; }

    bool Send(const Report& report) {
        DWORD written = 0;
        return WriteFile(m_server, report.data(), kReport, &written, nullptr) && written == kReport;
    }

    Report Receive() {
        Report report{};
        DWORD total = 0;
        while (total < kReport) {
            DWORD got = 0;
            if (!ReadFile(m_server, report.data() + total, static_cast<DWORD>(kReport - total), &got,
                          nullptr)) {
                break;
            }
            total += got;
        }
        return report;
    }

private:
    static std::string UniquePath() {
        static std::atomic<int> serial{0};
        return "\\\\.\\pipe\\zephyrine-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(serial++);
    }

    std::string m_path;
    HANDLE m_server = INVALID_HANDLE_VALUE;
};

class Win32HidHandleTest : public testing::Test {
protected:
    std::unique_ptr<HidDeviceHandle> OpenOn(PipeDevice& device, HidAccess access) {
        auto handle = platform.Open(device.Path(), access);
        EXPECT_TRUE(device.Accept());
        return handle;
    }

    Win32HidPlatform platform;
};

TEST_F(Win32HidHandleTest, AReadReturnsTheReportTheDeviceSends) {
    PipeDevice device;
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Read);
    ASSERT_NE(handle, nullptr);

    Report received{};
    auto read =
        std::async(std::launch::async, [&] { return handle->Read(received.data(), received.size()); });
    ASSERT_TRUE(device.Send(Filled(0x5A)));
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(read.get(), static_cast<int>(kReport));
    EXPECT_EQ(received, Filled(0x5A));
}

TEST_F(Win32HidHandleTest, CancelReadEndsThePendingReadAndEveryLaterOne) {
    PipeDevice device;
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Read);
    ASSERT_NE(handle, nullptr);

    Report received{};
    auto read =
        std::async(std::launch::async, [&] { return handle->Read(received.data(), received.size()); });
    EXPECT_EQ(read.wait_for(50ms), std::future_status::timeout) << "nothing was sent, so the read must wait";
    handle->CancelRead();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(read.get(), -1);

    // A report that is waiting is not taken any more, and the buffer is left alone.
    ASSERT_TRUE(device.Send(Filled(0x33)));
    EXPECT_EQ(handle->Read(received.data(), received.size()), -1);
    EXPECT_EQ(received, Report{});
}

TEST_F(Win32HidHandleTest, AWriteWithRoomCompletesAtOnceAndReachesTheDevice) {
    PipeDevice device;
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    const Report report = Filled(0xC3);
    EXPECT_EQ(handle->Write(report.data(), report.size()), HidWriteStatus::Completed);
    handle->WaitForPendingWrite(); // none pending: returns at once
    EXPECT_EQ(device.Receive(), report);
}

TEST_F(Win32HidHandleTest, AWriteTheDeviceHasNoRoomForIsPendingUntilItIsTaken) {
    PipeDevice device(1);
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    const Report report = Filled(0x7E);
    ASSERT_EQ(handle->Write(report.data(), report.size()), HidWriteStatus::Pending);
    auto wait = std::async(std::launch::async, [&] { handle->WaitForPendingWrite(); });
    EXPECT_EQ(wait.wait_for(50ms), std::future_status::timeout);
    EXPECT_EQ(device.Receive(), report);
    EXPECT_EQ(wait.wait_for(5s), std::future_status::ready);
}

TEST_F(Win32HidHandleTest, CancelWriteReleasesTheWaiterNowAndLater) {
    PipeDevice device(1);
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    const Report report = Filled(0x11);
    ASSERT_EQ(handle->Write(report.data(), report.size()), HidWriteStatus::Pending);
    auto wait = std::async(std::launch::async, [&] { handle->WaitForPendingWrite(); });
    EXPECT_EQ(wait.wait_for(50ms), std::future_status::timeout);
    handle->CancelWrite();
    EXPECT_EQ(wait.wait_for(5s), std::future_status::ready);
    handle->WaitForPendingWrite();
}

TEST_F(Win32HidHandleTest, AHandleWithAWriteUnderWayClosesWithoutWaitingForTheDevice) {
    PipeDevice device(1);
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    const Report report = Filled(0x22);
    ASSERT_EQ(handle->Write(report.data(), report.size()), HidWriteStatus::Pending);
    auto close = std::async(std::launch::async, [&] { handle.reset(); });
    EXPECT_EQ(close.wait_for(5s), std::future_status::ready);
}

TEST_F(Win32HidHandleTest, SomethingThatIsNotAHidInterfaceHasNoAttributes) {
    PipeDevice device;
    ASSERT_TRUE(device.IsReady());
    auto handle = OpenOn(device, HidAccess::Query);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->GetAttributes(), std::nullopt);
}

// The supply as one interface whose reads and writes go to two pipes, "<path>-read" and "<path>-write",
// through the real Win32 handles; only the attribute query is answered here.
class PipeSupplyPlatform final : public HidPlatform {
public:
    explicit PipeSupplyPlatform(Win32HidPlatform& win32) : m_win32(win32) {}

    void Present(const std::string& path) { m_path = path; }

    std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() override {
        return std::vector<HidInterfaceEntry>{{m_path, true}};
    }

    std::unique_ptr<HidDeviceHandle> Open(const std::string& path, HidAccess access) override {
        if (access == HidAccess::Query) {
            return std::make_unique<SupplyQuery>();
        }
        return m_win32.Open(path + (access == HidAccess::Read ? "-read" : "-write"), access);
    }

private:
    class SupplyQuery final : public HidDeviceHandle {
    public:
        std::optional<HidAttributes> GetAttributes() override { return HidAttributes{0x04D8, 0x003F}; }
        int Read(std::uint8_t*, std::size_t) override { return -1; }
        void CancelRead() override {}
        HidWriteStatus Write(const std::uint8_t*, std::size_t) override { return HidWriteStatus::Failed; }
        void WaitForPendingWrite() override {}
        void CancelWrite() override {}
    };

    Win32HidPlatform& m_win32;
    std::string m_path;
};

struct PipeSupply {
    explicit PipeSupply(const std::string& name)
        : path("\\\\.\\pipe\\zephyrine-supply-" + std::to_string(GetCurrentProcessId()) + "-" + name),
          input(path + "-read"), output(path + "-write") {}

    std::string path;
    PipeDevice input;  // what the channel reads
    PipeDevice output; // what the channel writes
};

TEST(Win32HidChannel, ReportsTravelBothWaysAndAReopenMovesTheReaderToTheNewHandle) {
    Win32HidPlatform win32;
    PipeSupplyPlatform platform(win32);
    SystemSleeper sleeper;
    CCUsbHid channel(platform, sleeper);

    PipeSupply first("first");
    platform.Present(first.path);
    ASSERT_EQ(channel.OpenDevice(0x04D8), 1);
    ASSERT_TRUE(first.input.Accept());
    ASSERT_TRUE(first.output.Accept());

    const std::uint8_t frame[6] = {0xAA, 0x7E, 0x82, 0x98, 0x08, 0x00};
    ASSERT_EQ(channel.WriteReport(6, frame), 1);
    Report expected{};
    std::copy(std::begin(frame), std::end(frame), expected.begin() + 1);
    EXPECT_EQ(first.output.Receive(), expected);

    ASSERT_TRUE(first.input.Send(Filled(0x5A)));
    EXPECT_TRUE(WaitUntil([&] { return channel.ReadBufferSnapshot() == Filled(0x5A); }));

    // The search runs again and finds the supply behind a new path: the pending read on the old handle must
    // end before that handle closes, and the reader goes on with the new one.
    PipeSupply second("second");
    platform.Present(second.path);
    ASSERT_EQ(channel.OpenDevice(0x04D8), 1);
    ASSERT_TRUE(second.input.Accept());
    ASSERT_TRUE(second.output.Accept());
    EXPECT_FALSE(first.input.Send(Filled(0x01))) << "the old read handle is closed";

    ASSERT_TRUE(second.input.Send(Filled(0x6B)));
    EXPECT_TRUE(WaitUntil([&] { return channel.ReadBufferSnapshot() == Filled(0x6B); }));
}

} // namespace
