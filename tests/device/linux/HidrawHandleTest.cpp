#include "device/linux/HidrawHandle.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <fstream>
#include <future>
#include <numeric>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Report = std::array<std::uint8_t, 65>;
using Payload = std::array<std::uint8_t, 64>;

Payload CountingPayload() {
    Payload payload;
    std::iota(payload.begin(), payload.end(), std::uint8_t{0x40});
    return payload;
}

// A SOCK_SEQPACKET pair keeps report boundaries as a hidraw node does: one report per read and write.
class HidrawHandleTest : public testing::Test {
protected:
    void SetUp() override {
        // A write to a closed socket would raise SIGPIPE; a hidraw node answers ENODEV instead.
        std::signal(SIGPIPE, SIG_IGN);
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends), 0);
        m_device = ends[1];
        m_handle = HidrawHandle::Adopt(ends[0]);
        ASSERT_NE(m_handle, nullptr);
    }

    void TearDown() override { CloseDevice(); }

    void CloseDevice() {
        if (m_device >= 0) {
            close(m_device);
            m_device = -1;
        }
    }

    void DeviceSends(const std::uint8_t* bytes, std::size_t size) const {
        ASSERT_EQ(send(m_device, bytes, size, 0), static_cast<ssize_t>(size));
    }

    int m_device = -1;
    std::unique_ptr<HidrawHandle> m_handle;
};

// The thread's scheduler state from /proc: 'S' once it sleeps in poll().
char ThreadState(pid_t tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

void WaitUntilSleeping(pid_t tid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ThreadState(tid) != 'S' && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(ThreadState(tid), 'S');
}

TEST_F(HidrawHandleTest, UnnumberedReportBecomesReportIdZeroAndPayload) {
    const Payload payload = CountingPayload();
    DeviceSends(payload.data(), payload.size());
    Report report;
    report.fill(0xEE);
    ASSERT_EQ(m_handle->Read(report.data(), report.size()), 65);
    EXPECT_EQ(report[0], 0);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), report.begin() + 1));
}

TEST_F(HidrawHandleTest, ShortReportFillsOnlyWhatArrived) {
    const std::array<std::uint8_t, 5> shortReport{1, 2, 3, 4, 5};
    DeviceSends(shortReport.data(), shortReport.size());
    Report report;
    report.fill(0xEE);
    ASSERT_EQ(m_handle->Read(report.data(), report.size()), 6);
    EXPECT_EQ(report[0], 0);
    EXPECT_TRUE(std::equal(shortReport.begin(), shortReport.end(), report.begin() + 1));
    EXPECT_EQ(report[6], 0xEE);
}

TEST_F(HidrawHandleTest, EachReadTakesOneReport) {
    const Payload first = CountingPayload();
    Payload second;
    second.fill(0x5A);
    DeviceSends(first.data(), first.size());
    DeviceSends(second.data(), second.size());
    Report report;
    ASSERT_EQ(m_handle->Read(report.data(), report.size()), 65);
    EXPECT_EQ(report[1], first[0]);
    ASSERT_EQ(m_handle->Read(report.data(), report.size()), 65);
    EXPECT_EQ(report[1], 0x5A);
}

TEST_F(HidrawHandleTest, WriteSendsTheWholeReportWithItsIdByte) {
    Report report{};
    report[1] = 0xAA;
    report[2] = 0x7E;
    report[3] = 0x82;
    report[4] = 0xDC;
    report[5] = 0x05;
    EXPECT_EQ(m_handle->Write(report.data(), report.size()), HidWriteStatus::Completed);
    std::array<std::uint8_t, 128> received{};
    ASSERT_EQ(recv(m_device, received.data(), received.size(), 0), 65);
    EXPECT_TRUE(std::equal(report.begin(), report.end(), received.begin()));
}

TEST_F(HidrawHandleTest, WriteToAGoneDeviceFails) {
    CloseDevice();
    const Report report{};
    EXPECT_EQ(m_handle->Write(report.data(), report.size()), HidWriteStatus::Failed);
}

TEST_F(HidrawHandleTest, CancelReadWakesABlockedReader) {
    std::promise<pid_t> readerTid;
    auto result = std::async(std::launch::async, [&] {
        readerTid.set_value(gettid());
        Report report;
        return m_handle->Read(report.data(), report.size());
    });
    WaitUntilSleeping(readerTid.get_future().get());
    m_handle->CancelRead();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(result.get(), -1);
}

TEST_F(HidrawHandleTest, CancelStaysInForceEvenWithAReportWaiting) {
    m_handle->CancelRead();
    const Payload payload = CountingPayload();
    DeviceSends(payload.data(), payload.size());
    Report report;
    EXPECT_EQ(m_handle->Read(report.data(), report.size()), -1);
    EXPECT_EQ(m_handle->Read(report.data(), report.size()), -1);
}

TEST_F(HidrawHandleTest, RemovalWakesABlockedReaderWithMinusOne) {
    std::promise<pid_t> readerTid;
    auto result = std::async(std::launch::async, [&] {
        readerTid.set_value(gettid());
        Report report;
        return m_handle->Read(report.data(), report.size());
    });
    WaitUntilSleeping(readerTid.get_future().get());
    CloseDevice();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(result.get(), -1);
}

TEST_F(HidrawHandleTest, ReportsBeforeRemovalAreStillDelivered) {
    const Payload payload = CountingPayload();
    DeviceSends(payload.data(), payload.size());
    CloseDevice();
    Report report;
    EXPECT_EQ(m_handle->Read(report.data(), report.size()), 65);
    // Once gone, every further read returns at once instead of waiting or spinning.
    EXPECT_EQ(m_handle->Read(report.data(), report.size()), -1);
    EXPECT_EQ(m_handle->Read(report.data(), report.size()), -1);
}

} // namespace
