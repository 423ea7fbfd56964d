#pragma once

#include "device/DeviceMonitor.h"

#include <memory>

struct udev;
struct udev_monitor;

// Notices from udevd: they come after the rules ran, so a node the rules open up for the user is accessible
// by the time the search runs.
class UdevDeviceMonitor final : public DeviceMonitor {
public:
    // nullptr when no monitor can be set up.
    static std::unique_ptr<UdevDeviceMonitor> Open();
    ~UdevDeviceMonitor() override;
    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    int Descriptor() const override;
    bool DrainChanges() override;

private:
    UdevDeviceMonitor(udev* context, udev_monitor* monitor) : m_udev(context), m_monitor(monitor) {}

    udev* const m_udev;
    udev_monitor* const m_monitor;
};
