#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/Types.h"

#include <ostream>

// Readable failure messages for the dialog framework's values.
namespace zui {

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}
inline void PrintTo(const Size& s, std::ostream* os) {
    *os << s.width << " x " << s.height;
}
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "RGB(" << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ")";
}
inline void PrintTo(const FontSpec& f, std::ostream* os) {
    *os << "\"" << f.face << "\" " << f.size << (f.unit == FontSizeUnit::PointTenths ? " tenths" : " px cell")
        << " weight " << f.weight;
}

} // namespace zui
