#pragma once

#include "device/HidPlatform.h"

#include <memory>
#include <string>

class QtUiPlatform;

// Where the window's HID platform comes from, with whatever keeps it going while the window runs.
class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    virtual HidPlatform& Platform() = 0;
};

// The virtual supply as SimulatedSupply runs it, with its defaults; logPath is UTF-8, empty for no log.
std::unique_ptr<DeviceSource> MakeSimulatedSource(const std::string& logPath);
// The machine's HID devices; every notice of a device added or removed reaches the window as a
// device-change message.
std::unique_ptr<DeviceSource> MakeDeviceSource(QtUiPlatform& ui);
