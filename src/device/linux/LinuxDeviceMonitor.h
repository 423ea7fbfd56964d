#pragma once

#include "device/DeviceMonitor.h"

#include <memory>

// udevd's notices when a udev daemon runs, the kernel's own uevents otherwise; nullptr when neither can be
// had.
std::unique_ptr<DeviceMonitor> OpenDeviceMonitor();
