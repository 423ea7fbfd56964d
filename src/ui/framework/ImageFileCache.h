#pragma once

#include "ui/framework/Image.h"
#include "ui/framework/UiPlatform.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace zui {

// Loads an image file through the platform's decoder, but decodes it again only when it changed: while the
// file keeps the modification time and size it had at the last load, that load's image is given back. A
// replaced or removed file is noticed at the next call.
class ImageFileCache {
public:
    // prepare, when given, is applied once to each image it decodes (premultiplying its alpha, say), so that
    // an image drawn at every paint is converted only when its file changes.
    explicit ImageFileCache(UiPlatform& ui, std::function<void(Image&)> prepare = {})
        : m_ui(ui), m_prepare(std::move(prepare)) {}

    // The image of the file at path (UTF-8, relative to the current directory), or an empty one when it is
    // missing or not an image.
    const Image& Load(const std::string& path);

private:
    struct Stamp {
        std::string path;
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };

    UiPlatform& m_ui;
    std::function<void(Image&)> m_prepare;
    std::optional<Stamp> m_stamp;
    Image m_image;
};

} // namespace zui
