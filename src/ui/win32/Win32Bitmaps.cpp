#include "ui/win32/Win32Bitmaps.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace win32_bitmaps {

BITMAPINFO HeaderOf(zui::Size size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeBitmap(const zui::Image& image) {
    return MakeBitmap(image, zui::Rect::FromPointSize({0, 0}, image.GetSize()));
}

HBITMAP MakeBitmap(const zui::Image& image, const zui::Rect& part) {
    if (image.IsNull() || part.IsEmpty()) {
        return nullptr;
    }
    const BITMAPINFO info = HeaderOf(part.GetSize());
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        const auto rowBytes = static_cast<std::size_t>(part.Width()) * 4;
        for (int y = 0; y < part.Height(); ++y) {
            std::memcpy(static_cast<std::uint8_t*>(bits) + y * rowBytes,
                        image.PixelAt(part.left, part.top + y), rowBytes);
        }
    }
    return bitmap;
}

HICON MakeIcon(const zui::Image& image) {
    HBITMAP colour = MakeBitmap(image);
    if (colour == nullptr) {
        return nullptr;
    }
    // With a 32-bit colour bitmap the alpha decides; the mask only has to be there.
    const std::vector<BYTE> maskBits(static_cast<std::size_t>((image.width + 15) / 16 * 2) * image.height, 0);
    HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, maskBits.data());
    ICONINFO iconInfo{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

} // namespace win32_bitmaps
