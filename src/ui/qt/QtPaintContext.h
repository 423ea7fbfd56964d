#pragma once

#include "ui/framework/PaintContext.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

class QPainter;

// Paints into a canvas that holds part of a window, its top-left pixel at origin in the window's
// coordinates, clipped to the area being painted (window coordinates too). The alpha blend is done here
// pixel by pixel, so that its arithmetic is exactly AlphaBlend's rather than Qt's own rounding.
class QtPaintContext final : public zui::PaintContext {
public:
    QtPaintContext(QImage& canvas, QPoint origin, const QRegion& clip)
        : m_canvas(canvas), m_origin(origin), m_clip(clip) {}

    void StretchImage(const zui::Image& image, const zui::Rect& dest) override;
    void CopyImage(const zui::Image& image, zui::Point at) override;
    void AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) override;
    void DrawIconImage(const zui::Image& icon, zui::Point at) override;

private:
    // A painter in window coordinates, clipped.
    void Begin(QPainter& painter) const;

    QImage& m_canvas;
    const QPoint m_origin;
    const QRegion m_clip;
};
