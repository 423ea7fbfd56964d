#include "ui/framework/ImageFileCache.h"

#include <system_error>

namespace zui {

const Image& ImageFileCache::Load(const std::string& path) {
    // Built from UTF-8 explicitly: a narrow string would be read in the ANSI code page on Windows.
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    const auto size = error ? 0 : std::filesystem::file_size(file, error);
    if (error) {
        m_stamp.reset();
        m_image.Release();
        return m_image;
    }
    Stamp stamp{path, modified, size};
    if (stamp != m_stamp) {
        m_image = m_ui.LoadImageFile(path);
        if (m_prepare) {
            m_prepare(m_image);
        }
        m_stamp = std::move(stamp);
    }
    return m_image;
}

} // namespace zui
