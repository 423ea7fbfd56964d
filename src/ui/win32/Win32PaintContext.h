#pragma once

#include "ui/framework/PaintContext.h"

#include <windows.h>

#include <functional>

// Drawing into a window's paint context (BeginPaint's), which clips to the area being painted.
class Win32PaintContext final : public zui::PaintContext {
public:
    // icons: the icon the window keeps for an image (DrawIconEx needs an icon handle).
    Win32PaintContext(HDC dc, std::function<HICON(const zui::Image&)> icons)
        : m_dc(dc), m_icons(std::move(icons)) {}

    void StretchImage(const zui::Image& image, const zui::Rect& dest) override;
    void CopyImage(const zui::Image& image, zui::Point at) override;
    void AlphaBlendImage(const zui::Image& premultiplied, zui::Point at) override;
    void DrawIconImage(const zui::Image& icon, zui::Point at) override;

private:
    HDC m_dc;
    std::function<HICON(const zui::Image&)> m_icons;
};
