#include "ui/qt/QtPaintContext.h"

#include "ui/qt/QtImages.h"

#include <QPainter>

void QtPaintContext::StretchImage(const zui::Image& image, const zui::Rect& dest) {
    if (image.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    painter.setClipRegion(m_clip);
    // No smoothing: nearest-neighbour sampling, as StretchBlt's default mode does.
    painter.drawImage(QRect(dest.left, dest.top, dest.Width(), dest.Height()), qt_images::View(image, false));
}

void QtPaintContext::CopyImage(const zui::Image& image, zui::Point at) {
    if (image.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    painter.setClipRegion(m_clip);
    painter.drawImage(at.x, at.y, qt_images::View(image, false));
}

void QtPaintContext::AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) {
    for (const QRect& part : m_clip) {
        zui::AlphaBlendPremultiplied({m_canvas.bits(),
                                      static_cast<int>(m_canvas.bytesPerLine()),
                                      {m_canvas.width(), m_canvas.height()}},
                                     premultiplied, at,
                                     {part.left(), part.top(), part.right() + 1, part.bottom() + 1});
    }
}

void QtPaintContext::DrawIconImage(const zui::Image& icon, zui::Point at) {
    if (icon.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    painter.setClipRegion(m_clip);
    painter.drawImage(at.x, at.y, qt_images::View(icon, icon.hasAlpha));
}
