#include "ui/EmbeddedImages.h"

const zui::Image& EmbeddedImages::Bitmap(int id) {
    return Decoded(zres::ResourceKind::Bitmap, id);
}

const zui::Image& EmbeddedImages::Icon(int id) {
    return Decoded(zres::ResourceKind::Icon, id);
}

const zui::Image& EmbeddedImages::Decoded(zres::ResourceKind kind, int id) {
    const auto key = std::make_pair(kind, id);
    auto it = m_images.find(key);
    if (it == m_images.end()) {
        const auto bytes = zres::EmbeddedResource(kind, id);
        it = m_images.emplace(key, m_ui.DecodeImage(bytes)).first;
    }
    return it->second;
}
