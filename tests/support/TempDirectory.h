#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A fresh directory under the system's temporary folder, removed with everything in it at the end of the
// test.
class TempDirectory {
public:
    TempDirectory() {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zephyrine-test-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
