#pragma once

#include "Resources.h"
#include "ui/framework/Image.h"
#include "ui/framework/UiPlatform.h"

#include <map>
#include <utility>

// The program's embedded pictures, each decoded once through the platform and kept for the owner's life:
// they never change, so decoding them again at every paint or button change would show nothing new.
class EmbeddedImages {
public:
    explicit EmbeddedImages(zui::UiPlatform& ui) : m_ui(ui) {}

    // An empty image when the resource is missing or cannot be decoded.
    const zui::Image& Bitmap(int id);
    const zui::Image& Icon(int id);

private:
    const zui::Image& Decoded(zres::ResourceKind kind, int id);

    zui::UiPlatform& m_ui;
    std::map<std::pair<zres::ResourceKind, int>, zui::Image> m_images;
};
