#pragma once

#include "ui/framework/PaintContext.h"

#include <QImage>
#include <QRegion>

// Paints into a window's canvas, clipped to the area being painted. The alpha blend is done here pixel by
// pixel, so that its arithmetic is exactly AlphaBlend's rather than Qt's own rounding.
class QtPaintContext final : public zui::PaintContext {
public:
    QtPaintContext(QImage& canvas, const QRegion& clip) : m_canvas(canvas), m_clip(clip) {}

    void StretchImage(const zui::Image& image, const zui::Rect& dest) override;
    void CopyImage(const zui::Image& image, zui::Point at) override;
    void AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) override;
    void DrawIconImage(const zui::Image& icon, zui::Point at) override;

private:
    QImage& m_canvas;
    const QRegion m_clip;
};
