#include "ui/win32/Win32Bitmaps.h"

#include <cstring>
#include <vector>

namespace win32_bitmaps {

BITMAPINFO HeaderOf(const zui::Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeBitmap(const zui::Image& image) {
    if (image.IsNull()) {
        return nullptr;
    }
    const BITMAPINFO info = HeaderOf(image);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        std::memcpy(bits, image.pixels.data(), image.pixels.size());
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
