#pragma once

#include "ui/framework/Image.h"
#include "ui/framework/Types.h"

namespace zui {

// What a paint handler may draw into a window's client area. Everything is clipped to the area being
// painted; the child controls paint themselves over it afterwards.
class PaintContext {
public:
    virtual ~PaintContext() = default;

    // The whole image stretched onto dest, copying (StretchBlt with SRCCOPY and the default stretch mode).
    virtual void StretchImage(const Image& image, const Rect& dest) = 0;
    // At its own size, opaque (alpha ignored).
    virtual void CopyImage(const Image& image, Point at) = 0;
    // At its own size, source-over with per-pixel alpha; the image must be premultiplied (AlphaBlend).
    virtual void AlphaBlendImage(const Image& premultiplied, Point at) = 0;
    // An icon with its transparency, at its own size (DrawIcon).
    virtual void DrawIconImage(const Image& icon, Point at) = 0;
};

} // namespace zui
