#include "device/linux/UdevDeviceMonitor.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <libudev.h>
#include <string>
#include <vector>

// This suite links no libudev: the functions the monitor calls are defined here and answer from a script,
// since a real monitor cannot be made to lose notices on demand.

struct udev {};
struct udev_monitor {};
struct udev_device {
    std::string action;
    std::string subsystem;
};

namespace {

// One answer of udev_monitor_receive_device: a device, or null with this errno.
struct Receive {
    std::string action;
    std::string subsystem;
    int error = 0;
};

Receive Device(const char* action, const char* subsystem) {
    return {action, subsystem};
}
Receive Failure(int error) {
    return {"", "", error};
}

udev g_udev;
udev_monitor g_monitor;
std::deque<Receive> g_script;
int g_receives = 0;
int g_devicesAlive = 0;

} // namespace

extern "C" {

udev* udev_new() {
    return &g_udev;
}
udev* udev_unref(udev*) {
    return nullptr;
}
udev_monitor* udev_monitor_new_from_netlink(udev*, const char*) {
    return &g_monitor;
}
int udev_monitor_filter_add_match_subsystem_devtype(udev_monitor*, const char*, const char*) {
    return 0;
}
int udev_monitor_enable_receiving(udev_monitor*) {
    return 0;
}
udev_monitor* udev_monitor_unref(udev_monitor*) {
    return nullptr;
}
int udev_monitor_get_fd(udev_monitor*) {
    return 42;
}

udev_device* udev_monitor_receive_device(udev_monitor*) {
    ++g_receives;
    // Past the script the socket is empty, as a non-blocking receive then says.
    const Receive next = g_script.empty() ? Failure(EAGAIN) : g_script.front();
    if (!g_script.empty()) {
        g_script.pop_front();
    }
    if (next.error != 0) {
        errno = next.error;
        return nullptr;
    }
    ++g_devicesAlive;
    return new udev_device{next.action, next.subsystem};
}

const char* udev_device_get_action(udev_device* device) {
    return device->action.c_str();
}
const char* udev_device_get_subsystem(udev_device* device) {
    return device->subsystem.c_str();
}
udev_device* udev_device_unref(udev_device* device) {
    --g_devicesAlive;
    delete device;
    return nullptr;
}

} // extern "C"

namespace {

struct DrainCase {
    const char* name;
    std::vector<Receive> script;
    bool changed;
    int receives; // the drain stops at the first null
};

class UdevDeviceMonitorTest : public testing::TestWithParam<DrainCase> {};

TEST_P(UdevDeviceMonitorTest, DrainsUntilNullAndCountsALostNoticeAsAChange) {
    const DrainCase& c = GetParam();
    g_script.assign(c.script.begin(), c.script.end());
    g_receives = 0;
    g_devicesAlive = 0;
    const auto monitor = UdevDeviceMonitor::Open();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->Descriptor(), 42);

    EXPECT_EQ(monitor->DrainChanges(), c.changed);
    EXPECT_EQ(g_receives, c.receives);
    EXPECT_EQ(g_devicesAlive, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Receives, UdevDeviceMonitorTest,
    testing::Values(
        DrainCase{"NothingWaiting", {}, false, 1},
        DrainCase{"HidrawAdded", {Device("add", "hidraw")}, true, 2},
        DrainCase{"UsbRemovedAmongOthers",
                  {Device("change", "hidraw"), Device("remove", "usb"), Device("add", "input")},
                  true,
                  4},
        DrainCase{"OnlyUnwatchedNotices", {Device("change", "hidraw"), Device("add", "input")}, false, 3},
        DrainCase{"QueueOverflowed", {Failure(ENOBUFS), Device("change", "hidraw")}, true, 1},
        DrainCase{"OverflowAfterUnwatchedNotices", {Device("bind", "usb"), Failure(ENOBUFS)}, true, 2},
        DrainCase{"OtherFailureIsNoChange", {Failure(EIO), Device("add", "hidraw")}, false, 1}),
    CaseName());

} // namespace
