#pragma once

#include <cstdint>
#include <span>

// The program's pictures and fonts, compiled in: the bytes of each file as it lies in res/.
namespace zres {

enum class ResourceKind { Bitmap, Icon, Font, Png };

// Bitmap 147, 149 to 153, 155, 156: BMP files. Icon 128: PNG file. Font 159 (readings), 183 (captions):
// TrueType files. Png 160: the logo. An unknown kind and ID give an empty span.
std::span<const std::uint8_t> EmbeddedResource(ResourceKind kind, int id);

// Icon 128 as a Windows ICO file: 32, 16, 48 and 256 pixels in that order, so that a decoder which takes the
// first entry gets the 32-pixel picture that icon 128 is.
std::span<const std::uint8_t> EmbeddedIconIco();

} // namespace zres
