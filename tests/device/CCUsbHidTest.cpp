#include "device/CCUsbHid.h"

#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "support/RecordingSleeper.h"
#include "support/StallingHidPlatform.h"
#include "support/WaitUntil.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kVendorId = 0x04D8;
const Bytes kEcoPoll = {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00};

Bytes ToBytes(const CCUsbHid::Report& report) {
    return Bytes(report.begin(), report.end());
}

// The 65-byte output report that carries a payload: report ID 0, the payload, zeros.
Bytes OutputReport(const Bytes& payload) {
    Bytes report(CCUsbHid::kReportBytes, 0);
    std::copy_n(payload.begin(), std::min<std::size_t>(payload.size(), 64), report.begin() + 1);
    return report;
}

class CCUsbHidTest : public testing::Test {
protected:
    bool Connect() { return channel.OpenDevice(kVendorId) == 1; }
    int Write(const Bytes& payload) {
        return channel.WriteReport(static_cast<int>(payload.size()), payload.data());
    }
    bool ReplyArrives() {
        return WaitUntil([&] { return channel.ReadBufferSnapshot() != CCUsbHid::Report{}; });
    }
    bool ReadIsPendingOnHandle(std::size_t handle) {
        return WaitUntil([&] {
            const auto handles = platform.Handles();
            return handles.size() > handle && handles[handle].readsStarted > 0 &&
                   platform.ReadsOutstanding() == 1;
        });
    }

    VirtualPowerSupply supply;
    VirtualHidPlatform platform{supply};
    RecordingSleeper sleeper;
    CCUsbHid channel{platform, sleeper};
};

// --- Search
// -------------------------------------------------------------------------------------------------

const VirtualInterface kSupply{.path = "supply", .isSupply = true};
const VirtualInterface kOtherProduct{.path = "other-product", .attributes = {0x04D8, 0x0040}};
const VirtualInterface kOtherVendor{.path = "other-vendor", .attributes = {0x1234, 0x003F}};
const VirtualInterface kNoQueryOpen{.path = "no-query-open", .queryOpenFails = true};
const VirtualInterface kNoAttributes{.path = "no-attributes", .attributesFail = true};
const VirtualInterface kNoDetail{.path = "no-detail", .detailFetched = false};
const VirtualInterface kSecondMatch{.path = "second-match"};
const VirtualInterface kSupplyNoRead{.path = "supply", .isSupply = true, .readOpenFails = true};
const VirtualInterface kSupplyNoWrite{.path = "supply", .isSupply = true, .writeOpenFails = true};

struct SearchCase {
    const char* name;
    std::vector<VirtualInterface> interfaces;
    bool listAvailable;
    std::string opened; // the interface opened for reading and writing; empty when none is found
    bool readHandle = true;
    bool writeHandle = true;
};

class SearchTable : public CCUsbHidTest, public testing::WithParamInterface<SearchCase> {};

TEST_P(SearchTable, OpensTheFirstMatchingInterface) {
    const SearchCase& c = GetParam();
    for (const VirtualInterface& interface : c.interfaces) {
        platform.AddInterface(interface);
    }
    platform.SetListAvailable(c.listAvailable);
    const bool found = !c.opened.empty();

    EXPECT_EQ(channel.OpenDevice(kVendorId), found ? 1 : 0);
    EXPECT_EQ(channel.Disconnected(), found ? 0 : 1);
    EXPECT_EQ(channel.HasReadHandle(), found && c.readHandle);
    EXPECT_EQ(channel.HasWriteHandle(), found && c.writeHandle);
    if (found) {
        EXPECT_EQ(channel.DevicePath(), c.opened);
    }
    // Query handles are closed at once; nothing after the match is looked at.
    const auto match = std::find_if(c.interfaces.begin(), c.interfaces.end(),
                                    [&](const VirtualInterface& i) { return i.path == c.opened; });
    for (const auto& handle : platform.Handles()) {
        if (handle.access == HidAccess::Query) {
            EXPECT_FALSE(handle.open) << handle.path;
        } else {
            EXPECT_EQ(handle.path, c.opened);
        }
        if (found) {
            EXPECT_FALSE(std::any_of(match + 1, c.interfaces.end(), [&](const VirtualInterface& i) {
                return i.path == handle.path;
            })) << handle.path;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Interfaces, SearchTable,
    testing::Values(SearchCase{"NoInterface", {}, true, ""}, SearchCase{"NoList", {kSupply}, false, ""},
                    SearchCase{"OnlyDecoys", {kOtherProduct, kOtherVendor}, true, ""},
                    SearchCase{"DecoysSkipped", {kOtherProduct, kOtherVendor, kSupply}, true, "supply"},
                    SearchCase{"QueryOpenFailureSkipped", {kNoQueryOpen, kSupply}, true, "supply"},
                    SearchCase{"AttributeFailureSkipped", {kNoAttributes, kSupply}, true, "supply"},
                    SearchCase{"DetailFailureEndsTheSearch", {kNoDetail, kSupply}, true, ""},
                    SearchCase{"FirstMatchWins", {kSupply, kSecondMatch}, true, "supply"},
                    SearchCase{"FirstMatchWinsInListOrder", {kSecondMatch, kSupply}, true, "second-match"},
                    SearchCase{"ReadOpenFailureStillFound", {kSupplyNoRead}, true, "supply", false, true},
                    SearchCase{"WriteOpenFailureStillFound", {kSupplyNoWrite}, true, "supply", true, false}),
    CaseName());

TEST_F(CCUsbHidTest, WithoutASupplyWritesAreRefusedAndTheBuffersStayZero) {
    platform.AddInterface(kOtherProduct);
    EXPECT_EQ(channel.OpenDevice(kVendorId), 0);
    EXPECT_EQ(channel.Disconnected(), 1);
    EXPECT_EQ(Write(kEcoPoll), 0);
    EXPECT_EQ(channel.ReadBufferSnapshot(), CCUsbHid::Report{});
    EXPECT_EQ(channel.WriteBufferSnapshot(), CCUsbHid::Report{});
    EXPECT_EQ(platform.WriteAttempts(), 0);
}

// --- Writes
// -------------------------------------------------------------------------------------------------

enum class Refusal { TooLong, Disconnected, NoWriteHandle, Busy };

struct RefusalCase {
    const char* name;
    Refusal refusal;
    int length;
};

class RefusalTable : public CCUsbHidTest, public testing::WithParamInterface<RefusalCase> {
protected:
    // Everything else is fine, and the read buffer holds a reply, so "unchanged" is seen.
    void Arrange(Refusal refusal) {
        platform.AddInterface(refusal == Refusal::NoWriteHandle ? kSupplyNoWrite : kSupply);
        ASSERT_TRUE(Connect());
        if (refusal == Refusal::NoWriteHandle) {
            return;
        }
        ASSERT_EQ(Write(kEcoPoll), 1);
        ASSERT_TRUE(ReplyArrives());
        if (refusal == Refusal::Disconnected) {
            // A failed search keeps the write handle open, so only the flag refuses.
            platform.Unplug("supply");
            ASSERT_EQ(channel.OpenDevice(kVendorId), 0);
            ASSERT_TRUE(channel.HasWriteHandle());
        } else if (refusal == Refusal::Busy) {
            platform.SetWritesPending(true);
            ASSERT_EQ(Write({0xAA, 0x7E, 0x80, 0x00, 0x00, 0x01}), 1);
            ASSERT_EQ(channel.WriteBusy(), 1);
        }
    }
};

TEST_P(RefusalTable, RefusesWithoutTouchingEitherBuffer) {
    const RefusalCase& c = GetParam();
    Arrange(c.refusal);
    const auto readBuffer = channel.ReadBufferSnapshot();
    const auto writeBuffer = channel.WriteBufferSnapshot();
    const int attempts = platform.WriteAttempts();

    const Bytes payload(static_cast<std::size_t>(c.length), 0x5A);
    EXPECT_EQ(Write(payload), 0);
    EXPECT_EQ(channel.ReadBufferSnapshot(), readBuffer);
    EXPECT_EQ(channel.WriteBufferSnapshot(), writeBuffer);
    EXPECT_EQ(platform.WriteAttempts(), attempts);
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalTable,
                         testing::Values(RefusalCase{"LengthOver1023", Refusal::TooLong, 1024},
                                         RefusalCase{"Disconnected", Refusal::Disconnected, 6},
                                         RefusalCase{"NoWriteHandle", Refusal::NoWriteHandle, 6},
                                         RefusalCase{"BusyWithAPendingWrite", Refusal::Busy, 6}),
                         CaseName());

TEST_F(CCUsbHidTest, ANegativeLengthIsRefused) {
    platform.AddInterface(kSupply);
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Write(kEcoPoll), 1);
    ASSERT_TRUE(ReplyArrives());
    const auto readBuffer = channel.ReadBufferSnapshot();
    const std::uint8_t payload[6] = {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00};
    EXPECT_EQ(channel.WriteReport(-1, payload), 0);
    EXPECT_EQ(channel.ReadBufferSnapshot(), readBuffer);
}

Bytes Pattern(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return bytes;
}

struct FramingCase {
    const char* name;
    std::vector<Bytes> payloads;
    Bytes sent; // the last output report, all 65 bytes
};

class FramingTable : public CCUsbHidTest, public testing::WithParamInterface<FramingCase> {};

TEST_P(FramingTable, SendsReportIdPayloadAndWhatEarlierWritesLeft) {
    const FramingCase& c = GetParam();
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    for (const Bytes& payload : c.payloads) {
        EXPECT_EQ(Write(payload), 1);
    }
    ASSERT_EQ(supply.ReceivedReports().size(), c.payloads.size());
    EXPECT_EQ(supply.ReceivedReports().back(), c.sent);
    EXPECT_EQ(ToBytes(channel.WriteBufferSnapshot()), c.sent);
    // Each write completed at once and was followed by the 10 ms pause.
    EXPECT_EQ(sleeper.Pauses(), std::vector<int>(c.payloads.size(), 10));
    EXPECT_EQ(channel.WriteBusy(), 0);
}

const Bytes kLong = {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x01, 0x11, 0x22};

INSTANTIATE_TEST_SUITE_P(
    Payloads, FramingTable,
    testing::Values(FramingCase{"SixBytes", {kEcoPoll}, OutputReport(kEcoPoll)},
                    FramingCase{"ZeroBytesResendTheBuffer", {kLong, {}}, OutputReport(kLong)},
                    FramingCase{"ShorterWriteKeepsTheTail",
                                {kLong, kEcoPoll},
                                OutputReport({0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00, 0x11, 0x22})},
                    FramingCase{
                        "Length1023SendsOnly64PayloadBytes", {Pattern(1023)}, OutputReport(Pattern(64))}),
    CaseName());

TEST_F(CCUsbHidTest, PendingWriteKeepsTheChannelBusyAndTheReadBufferZeroUntilTheReply) {
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Write(kEcoPoll), 1);
    ASSERT_TRUE(ReplyArrives());

    platform.SetWritesPending(true);
    EXPECT_EQ(Write(kEcoPoll), 1);
    EXPECT_EQ(sleeper.Pauses().size(), 1u) << "no pause after a write that went pending";
    EXPECT_EQ(channel.WriteBusy(), 1);
    EXPECT_EQ(channel.ReadBufferSnapshot(), CCUsbHid::Report{});
    EXPECT_TRUE(WaitUntil([&] { return platform.PendingWriteWaiters() == 1; }));
    EXPECT_EQ(channel.ReadBufferSnapshot(), CCUsbHid::Report{});
    EXPECT_EQ(Write(kEcoPoll), 0);

    platform.CompletePendingWrites();
    EXPECT_TRUE(ReplyArrives());
    EXPECT_TRUE(WaitUntil([&] { return channel.WriteBusy() == 0; }));
    EXPECT_EQ(Write(kEcoPoll), 1);
    EXPECT_EQ(supply.ReceivedReports().size(), 2u);
}

TEST_F(CCUsbHidTest, WriteAfterAReopenThatAbandonedAPendingWriteStaysBusyUntilItCompletes) {
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    platform.SetWritesPending(true);
    ASSERT_EQ(Write(kEcoPoll), 1);
    for (int reopen = 0; reopen < 200; ++reopen) {
        ASSERT_TRUE(WaitUntil([&] { return platform.PendingWriteWaiters() == 1; }));
        // The search cancels the pending write; the write thread must not clear the flag of the next
        // one.
        ASSERT_TRUE(Connect());
        ASSERT_EQ(Write(kEcoPoll), 1);
        ASSERT_TRUE(WaitUntil([&] { return platform.PendingWriteWaiters() == 1; }));
        ASSERT_EQ(channel.WriteBusy(), 1) << reopen;
    }
}

TEST_F(CCUsbHidTest, ShortReplyFillsOnlyItsOwnBytes) {
    platform.AddSupply("supply");
    VirtualPowerSupply twin;
    const Bytes expected = twin.HandleOutputReport(OutputReport(kEcoPoll));
    supply.ScriptReply(VirtualPowerSupply::ReplyKind::Short, 10);
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Write(kEcoPoll), 1);
    ASSERT_TRUE(ReplyArrives());

    Bytes shortReply(expected.begin(), expected.begin() + 10);
    shortReply.resize(CCUsbHid::kReportBytes, 0);
    EXPECT_EQ(ToBytes(channel.ReadBufferSnapshot()), shortReply);
}

// --- Reopening and removal
// ----------------------------------------------------------------------------------

TEST_F(CCUsbHidTest, ReopenWhileAReadIsPendingKeepsOneReadAndReadsFromTheNewHandle) {
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    // Handles 0 query, 1 read, 2 write; each search adds three more.
    ASSERT_TRUE(ReadIsPendingOnHandle(1));
    for (int reopen = 1; reopen <= 20; ++reopen) {
        ASSERT_TRUE(Connect());
        const std::size_t readHandle = 1 + 3 * static_cast<std::size_t>(reopen);
        ASSERT_TRUE(ReadIsPendingOnHandle(readHandle)) << reopen;
        EXPECT_FALSE(platform.Handles()[readHandle - 3].open);
    }
    EXPECT_EQ(platform.MaxReadsOutstanding(), 1);
    EXPECT_EQ(platform.MaxOpenAtOnce(HidAccess::Read), 1);
    EXPECT_EQ(platform.MaxOpenAtOnce(HidAccess::Write), 1);
    ASSERT_EQ(Write(kEcoPoll), 1);
    EXPECT_TRUE(ReplyArrives());
}

TEST_F(CCUsbHidTest, UnplugFailsTheIoAndAFailedSearchKeepsTheOldHandles) {
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Write(kEcoPoll), 1);
    ASSERT_TRUE(ReplyArrives());
    ASSERT_TRUE(ReadIsPendingOnHandle(1));

    platform.Unplug("supply");
    EXPECT_TRUE(WaitUntil([&] { return platform.ReadsOutstanding() == 0; }));
    // The write fails after the read buffer was cleared.
    EXPECT_EQ(Write(kEcoPoll), 0);
    EXPECT_EQ(channel.WriteBusy(), 0);
    EXPECT_EQ(channel.ReadBufferSnapshot(), CCUsbHid::Report{});

    EXPECT_EQ(channel.OpenDevice(kVendorId), 0);
    EXPECT_EQ(channel.Disconnected(), 1);
    EXPECT_TRUE(channel.HasReadHandle());
    EXPECT_TRUE(channel.HasWriteHandle());
    EXPECT_EQ(platform.OpenHandleCount(), 2);
    // The reader does not spin on the dead handle.
    EXPECT_EQ(platform.Handles()[1].readsStarted, 2);
}

TEST_F(CCUsbHidTest, ReplugSearchClosesTheOldHandlesBeforeOpeningNewOnes) {
    platform.AddSupply("supply");
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(ReadIsPendingOnHandle(1));
    platform.Unplug("supply");
    ASSERT_EQ(channel.OpenDevice(kVendorId), 0);

    platform.Plug("supply");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(channel.Disconnected(), 0);
    const auto handles = platform.Handles();
    ASSERT_EQ(handles.size(), 6u);
    EXPECT_FALSE(handles[1].open);
    EXPECT_FALSE(handles[2].open);
    EXPECT_TRUE(handles[4].open);
    EXPECT_TRUE(handles[5].open);
    EXPECT_EQ(platform.MaxOpenAtOnce(HidAccess::Read), 1);
    EXPECT_EQ(platform.MaxOpenAtOnce(HidAccess::Write), 1);

    ASSERT_EQ(Write(kEcoPoll), 1);
    EXPECT_TRUE(ReplyArrives());
    EXPECT_TRUE(WaitUntil([&] { return platform.Handles()[4].readsStarted == 2; }));
}

TEST_F(CCUsbHidTest, DestructionJoinsBothThreadsWithAReadAndAWritePending) {
    platform.AddSupply("supply");
    {
        CCUsbHid other(platform, sleeper);
        ASSERT_EQ(other.OpenDevice(kVendorId), 1);
        platform.SetWritesPending(true);
        ASSERT_EQ(other.WriteReport(static_cast<int>(kEcoPoll.size()), kEcoPoll.data()), 1);
        ASSERT_TRUE(WaitUntil(
            [&] { return platform.ReadsOutstanding() == 1 && platform.PendingWriteWaiters() == 1; }));
    }
    EXPECT_EQ(platform.OpenHandleCount(), 0);
    EXPECT_EQ(platform.ReadsOutstanding(), 0);
    EXPECT_EQ(platform.PendingWriteWaiters(), 0);
    // The abandoned write never reached the supply.
    EXPECT_TRUE(supply.ReceivedReports().empty());
}

// --- Writes that block
// --------------------------------------------------------------------------------------

// The channel on a supply whose writes block in the platform, as hidraw writes do.
class BlockingWriteTest : public testing::Test {
protected:
    void Open(CCUsbHid& link) { ASSERT_EQ(link.OpenDevice(kVendorId), 1); }
    static int Write(CCUsbHid& link, const Bytes& payload) {
        return link.WriteReport(static_cast<int>(payload.size()), payload.data());
    }
    bool Stalled() {
        return WaitUntil([&] { return platform.WritesInside() == 1; });
    }

    StallingHidPlatform platform;
    RecordingSleeper sleeper;
};

TEST_F(BlockingWriteTest, AStalledWriteLeavesTheCallerAtOnceAndKeepsTheChannelBusyUntilItEnds) {
    CCUsbHid link(platform, sleeper);
    Open(link);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(Write(link, kEcoPoll), 1);
    // The stall lasts 5 s unless released: a caller that waited for the write would not be back yet.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_EQ(link.WriteBusy(), 1);
    ASSERT_TRUE(Stalled());

    // As with an overlapped write on Windows: a second write is refused and leaves the buffer alone.
    const auto writeBuffer = link.WriteBufferSnapshot();
    EXPECT_EQ(Write(link, kLong), 0);
    EXPECT_EQ(link.WriteBufferSnapshot(), writeBuffer);
    EXPECT_EQ(platform.WritesStarted(), 1);
    EXPECT_EQ(link.WriteBusy(), 1);

    platform.Release();
    EXPECT_TRUE(WaitUntil([&] { return link.WriteBusy() == 0; }));
    EXPECT_EQ(platform.Written(), std::vector<Bytes>{OutputReport(kEcoPoll)});
    EXPECT_EQ(Write(link, kLong), 1);
    EXPECT_TRUE(WaitUntil([&] { return platform.Written().size() == 2; }));
    EXPECT_EQ(platform.Written().back(), OutputReport(kLong));
    EXPECT_TRUE(WaitUntil([&] { return link.WriteBusy() == 0; }));
    // The pause after a write that completed at once is the caller's; this caller never waited.
    EXPECT_TRUE(sleeper.Pauses().empty());
}

TEST(BlockingWriteTimeout, AWriteTheDeviceNeverTakesFreesTheChannelWhenItFails) {
    StallingHidPlatform platform(std::chrono::milliseconds(20));
    RecordingSleeper sleeper;
    CCUsbHid link(platform, sleeper);
    ASSERT_EQ(link.OpenDevice(kVendorId), 1);
    ASSERT_EQ(link.WriteReport(static_cast<int>(kEcoPoll.size()), kEcoPoll.data()), 1);
    EXPECT_TRUE(WaitUntil([&] { return platform.WritesStarted() == 1 && link.WriteBusy() == 0; }));
    EXPECT_TRUE(platform.Written().empty());
    EXPECT_EQ(link.WriteReport(static_cast<int>(kEcoPoll.size()), kEcoPoll.data()), 1);
    EXPECT_TRUE(WaitUntil([&] { return platform.WritesStarted() == 2; }));
}

TEST_F(BlockingWriteTest, DestructionDuringAStalledWriteWaitsForItAndClosesTheHandlesAfterwards) {
    auto link = std::make_unique<CCUsbHid>(platform, sleeper);
    Open(*link);
    ASSERT_EQ(Write(*link, kEcoPoll), 1);
    ASSERT_TRUE(Stalled());

    auto destroyed = std::async(std::launch::async, [&] { link.reset(); });
    // Nothing can call the write back: the handle stays open until the device lets go.
    EXPECT_EQ(destroyed.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    EXPECT_EQ(platform.OpenHandles(), 2);
    platform.Release();
    ASSERT_EQ(destroyed.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_FALSE(platform.ClosedDuringWrite());
    EXPECT_EQ(platform.OpenHandles(), 0);
    EXPECT_EQ(platform.Written(), std::vector<Bytes>{OutputReport(kEcoPoll)});
}

TEST_F(BlockingWriteTest, ASearchDuringAStalledWriteClosesTheOldHandleOnlyAfterIt) {
    CCUsbHid link(platform, sleeper);
    Open(link);
    ASSERT_EQ(Write(link, kEcoPoll), 1);
    ASSERT_TRUE(Stalled());

    auto searched = std::async(std::launch::async, [&] { return link.OpenDevice(kVendorId); });
    EXPECT_EQ(searched.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    platform.Release();
    ASSERT_EQ(searched.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(searched.get(), 1);
    EXPECT_FALSE(platform.ClosedDuringWrite());
    EXPECT_EQ(platform.OpenHandles(), 2);
    EXPECT_EQ(link.WriteBusy(), 0);
    EXPECT_EQ(Write(link, kLong), 1);
    EXPECT_TRUE(WaitUntil([&] { return platform.Written().size() == 2; }));
}

} // namespace
