#pragma once

#include "ui/framework/Types.h"

#include <QRect>

// The framework's rectangles (exclusive right and bottom) and Qt's (position and size).
inline QRect ToQRect(const zui::Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

inline zui::Rect FromQRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}
