#pragma once

#include <optional>
#include <string_view>

// The notices that can mean the supply came or went: HID nodes and USB devices, added or removed.
inline constexpr const char* kWatchedSubsystems[] = {"hidraw", "usb"};
bool IsWatchedChange(std::string_view action, std::string_view subsystem);

struct UeventSummary {
    std::string_view action;
    std::string_view subsystem;
};

// ACTION and SUBSYSTEM of one kernel uevent message ("add@/devices/...", then NUL-separated KEY=value pairs);
// nullopt for anything else, such as udevd's own messages, which start with "libudev".
std::optional<UeventSummary> ParseKernelUevent(std::string_view message);
