#pragma once

#include "device/HidPlatform.h"

#include <optional>
#include <string_view>

// The IDs of a HID device from the HID_ID property of its "hid" device in sysfs, "BBBB:VVVVVVVV:PPPPPPPP" in
// hex (bus, vendor, product); nullopt when the text is not of that form or an ID does not fit 16 bits.
std::optional<HidAttributes> ParseHidId(std::string_view hidId);
