#include "device/linux/LinuxDeviceMonitor.h"

#include "device/linux/KernelUeventMonitor.h"
#include "device/linux/UdevDeviceMonitor.h"

#include <unistd.h>

std::unique_ptr<DeviceMonitor> OpenDeviceMonitor() {
    // udevd's control socket: without a daemon a udev monitor would stay silent forever.
    if (access("/run/udev/control", F_OK) == 0) {
        if (auto monitor = UdevDeviceMonitor::Open()) {
            return monitor;
        }
    }
    return KernelUeventMonitor::Open();
}
