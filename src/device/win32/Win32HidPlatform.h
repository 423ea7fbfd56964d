#pragma once

#include "device/HidPlatform.h"

// HID access through SetupAPI and the HID library: enumeration of the present HID interfaces, and overlapped
// handles whose reads and writes can be cancelled from another thread.
class Win32HidPlatform final : public HidPlatform {
public:
    std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() override;
    std::unique_ptr<HidDeviceHandle> Open(const std::string& path, HidAccess access) override;
};
