#include "ui/qt/QtPaintContext.h"

#include "ui/qt/QtImages.h"

#include <QPainter>

void QtPaintContext::StretchImage(const zui::Image& image, const zui::Rect& dest) {
    if (image.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    Begin(painter);
    // No smoothing: nearest-neighbour sampling, as StretchBlt's default mode does.
    painter.drawImage(QRect(dest.left, dest.top, dest.Width(), dest.Height()), qt_images::View(image, false));
}

void QtPaintContext::CopyImage(const zui::Image& image, zui::Point at) {
    if (image.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    Begin(painter);
    painter.drawImage(at.x, at.y, qt_images::View(image, false));
}

void QtPaintContext::AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) {
    for (const QRect& part : m_clip.translated(-m_origin)) {
        zui::AlphaBlendPremultiplied({m_canvas.bits(),
                                      static_cast<int>(m_canvas.bytesPerLine()),
                                      {m_canvas.width(), m_canvas.height()}},
                                     premultiplied, {at.x - m_origin.x(), at.y - m_origin.y()},
                                     {part.left(), part.top(), part.right() + 1, part.bottom() + 1});
    }
}

void QtPaintContext::DrawIconImage(const zui::Image& icon, zui::Point at) {
    if (icon.IsNull()) {
        return;
    }
    QPainter painter(&m_canvas);
    Begin(painter);
    painter.drawImage(at.x, at.y, qt_images::View(icon, icon.hasAlpha));
}

void QtPaintContext::Begin(QPainter& painter) const {
    painter.translate(-m_origin);
    painter.setClipRegion(m_clip);
}
