#pragma once

#include "ui/framework/Image.h"

#include <cstdint>
#include <span>
#include <string>

// The framework's images decoded by the Windows Imaging Component (BMP, PNG, ICO and whatever else is
// installed). hasAlpha follows the source's pixel format, as the Qt backend's does, so both backends hand the
// dialogs the same picture. COM is initialised (single-threaded apartment) and released again around each
// call.
namespace win32_images {

// An empty image for bytes that are not a picture.
zui::Image Decode(std::span<const std::uint8_t> bytes);
// utf8Path is relative to the current directory; an empty image when it is missing or not a picture.
zui::Image LoadFile(const std::string& utf8Path);

} // namespace win32_images
