#include "device/linux/UdevDeviceMonitor.h"

#include "device/linux/Uevent.h"

#include <cerrno>
#include <libudev.h>

std::unique_ptr<UdevDeviceMonitor> UdevDeviceMonitor::Open() {
    udev* context = udev_new();
    udev_monitor* monitor = context == nullptr ? nullptr : udev_monitor_new_from_netlink(context, "udev");
    bool ready = monitor != nullptr;
    for (const char* subsystem : kWatchedSubsystems) {
        ready = ready && udev_monitor_filter_add_match_subsystem_devtype(monitor, subsystem, nullptr) >= 0;
    }
    ready = ready && udev_monitor_enable_receiving(monitor) >= 0;
    if (!ready) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::unique_ptr<UdevDeviceMonitor>(new UdevDeviceMonitor(context, monitor));
}

UdevDeviceMonitor::~UdevDeviceMonitor() {
    udev_monitor_unref(m_monitor);
    udev_unref(m_udev);
}

int UdevDeviceMonitor::Descriptor() const {
    return udev_monitor_get_fd(m_monitor);
}

bool UdevDeviceMonitor::DrainChanges() {
    bool changed = false;
    for (;;) {
        // libudev answers null both when nothing more is waiting on its non-blocking socket and when the
        // receive failed, and tells them apart only in errno.
        errno = 0;
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (device == nullptr) {
            // ENOBUFS: a burst overflowed the socket's queue and notices were lost, so a search is due
            // anyway.
            return changed || errno == ENOBUFS;
        }
        const char* action = udev_device_get_action(device);
        const char* subsystem = udev_device_get_subsystem(device);
        changed =
            changed || (action != nullptr && subsystem != nullptr && IsWatchedChange(action, subsystem));
        udev_device_unref(device);
    }
}
