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

// The virtual supply, plugged in from the start; its model clock follows the real one. With a log path, every
// output report it receives goes to that file as one line of hex digits, within 0.1 s and all of them by
// the time the source is destroyed.
std::unique_ptr<DeviceSource> MakeSimulatedSource(const std::string& logPath);
// The machine's HID devices; every notice of a device added or removed reaches the window as a
// device-change message.
std::unique_ptr<DeviceSource> MakeDeviceSource(QtUiPlatform& ui);
