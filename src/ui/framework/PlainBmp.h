#pragma once

#include "ui/framework/Image.h"

#include <cstdint>
#include <optional>
#include <span>

namespace zui {

// A BMP that is a plain copy of its pixels (24 bits, no compression, either row order) read directly: the
// platform decoders take ten times as long over a picture of the window's size. nullopt for any other BMP
// or anything else, which the caller leaves to the platform; the image is what those decoders make of it.
std::optional<Image> DecodePlainBmp(std::span<const std::uint8_t> bytes);

} // namespace zui
