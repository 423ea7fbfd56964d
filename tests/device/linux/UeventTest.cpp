#include "device/linux/Uevent.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct ParseCase {
    std::string message;
    std::optional<std::pair<std::string, std::string>> expected;
};

class KernelUevents : public testing::TestWithParam<ParseCase> {};

TEST_P(KernelUevents, YieldActionAndSubsystem) {
    const auto summary = ParseKernelUevent(GetParam().message);
    const auto& expected = GetParam().expected;
    ASSERT_EQ(summary.has_value(), expected.has_value());
    if (expected) {
        EXPECT_EQ(summary->action, expected->first);
        EXPECT_EQ(summary->subsystem, expected->second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, KernelUevents,
    testing::Values(
        ParseCase{"add@/devices/virtual/misc/uhid/0003:04D8:003F.0001/hidraw/hidraw0\0ACTION=add\0"
                  "DEVPATH=/devices/virtual/misc/uhid/0003:04D8:003F.0001/hidraw/hidraw0\0SUBSYSTEM=hidraw\0"
                  "MAJOR=241\0MINOR=0\0DEVNAME=hidraw0\0SEQNUM=1234\0"s,
                  std::pair{"add"s, "hidraw"s}},
        ParseCase{
            "remove@/devices/pci0000:00/0000:00:14.0/usb1/1-2\0ACTION=remove\0DEVPATH=/devices/pci0000:00/"
            "0000:00:14.0/usb1/1-2\0SUBSYSTEM=usb\0DEVTYPE=usb_device\0SEQNUM=9\0"s,
            std::pair{"remove"s, "usb"s}},
        // No trailing NUL after the last field.
        ParseCase{"bind@/devices/x\0ACTION=bind\0SUBSYSTEM=hid"s, std::pair{"bind"s, "hid"s}},
        // udevd's re-sent messages carry a binary header, not "action@devpath".
        ParseCase{"libudev\0\xfe\xed\xca\xfe\0ACTION=add\0SUBSYSTEM=hidraw\0"s, std::nullopt},
        ParseCase{"add@/devices/x\0ACTION=add\0DEVPATH=/devices/x\0"s, std::nullopt},
        ParseCase{"add@/devices/x\0SUBSYSTEM=hidraw\0"s, std::nullopt}, ParseCase{""s, std::nullopt},
        ParseCase{"add@/devices/x"s, std::nullopt}));

struct ChangeCase {
    std::string action;
    std::string subsystem;
    bool watched;
};

class WatchedChanges : public testing::TestWithParam<ChangeCase> {};

TEST_P(WatchedChanges, AreAddsAndRemovesOfHidrawAndUsb) {
    const ChangeCase& c = GetParam();
    EXPECT_EQ(IsWatchedChange(c.action, c.subsystem), c.watched) << c.action << " " << c.subsystem;
}

INSTANTIATE_TEST_SUITE_P(Pairs, WatchedChanges,
                         testing::Values(ChangeCase{"add", "hidraw", true},
                                         ChangeCase{"remove", "hidraw", true}, ChangeCase{"add", "usb", true},
                                         ChangeCase{"remove", "usb", true},
                                         ChangeCase{"change", "hidraw", false},
                                         ChangeCase{"bind", "usb", false}, ChangeCase{"unbind", "usb", false},
                                         ChangeCase{"add", "input", false},
                                         ChangeCase{"remove", "hid", false}, ChangeCase{"add", "", false}));

} // namespace
