#pragma once

#include "Resources.h"
#include "ui/framework/Image.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

// One line per embedded picture, "kind id width height bitsPerPixel hasAlpha fnv1a64-of-pixels", so that the
// Qt and the Win32 backend's decoders can be compared with cmp: the two programs differ only in the decoder.
inline std::string ImageDigestLine(const char* kind, int id, const zui::Image& image) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const std::uint8_t byte : image.pixels) {
        hash = (hash ^ byte) * 0x100000001b3u;
    }
    char line[128];
    std::snprintf(line, sizeof line, "%s %d %d %d %d %d %016" PRIx64 "\n", kind, id, image.width,
                  image.height, image.bitsPerPixel, image.hasAlpha ? 1 : 0, hash);
    return line;
}

template <class Decode> std::string ImageDigests(Decode decode) {
    using zres::ResourceKind;
    std::string lines;
    for (const int id : {147, 149, 150, 151, 152, 153, 155, 156}) {
        lines += ImageDigestLine("bitmap", id, decode(zres::EmbeddedResource(ResourceKind::Bitmap, id)));
    }
    lines += ImageDigestLine("icon", 128, decode(zres::EmbeddedResource(ResourceKind::Icon, 128)));
    lines += ImageDigestLine("ico", 128, decode(zres::EmbeddedIconIco()));
    lines += ImageDigestLine("png", 160, decode(zres::EmbeddedResource(ResourceKind::Png, 160)));
    return lines;
}
