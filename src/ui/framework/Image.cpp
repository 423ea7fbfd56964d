#include "ui/framework/Image.h"

#include <algorithm>

namespace zui {

void AlphaBlendPremultiplied(PixelSurface destination, const Image& source, Point at, const Rect& clip) {
    if (source.IsNull() || destination.bits == nullptr) {
        return;
    }
    const int left = std::max({at.x, clip.left, 0});
    const int top = std::max({at.y, clip.top, 0});
    const int right = std::min({at.x + source.width, clip.right, destination.size.width});
    const int bottom = std::min({at.y + source.height, clip.bottom, destination.size.height});
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* out = destination.bits + static_cast<std::ptrdiff_t>(y) * destination.stride + left * 4;
        const std::uint8_t* in = source.PixelAt(left - at.x, y - at.y);
        for (int x = left; x < right; ++x, out += 4, in += 4) {
            const int keep = 255 - in[3];
            for (int channel = 0; channel < 3; ++channel) {
                out[channel] =
                    static_cast<std::uint8_t>(std::min(255, in[channel] + out[channel] * keep / 255));
            }
        }
    }
}

} // namespace zui
