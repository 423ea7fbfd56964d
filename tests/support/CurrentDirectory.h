#pragma once

#include <filesystem>

// Runs a test in another current directory (the window looks for "logo.png" there) and goes back afterwards.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& path)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~CurrentDirectory() { std::filesystem::current_path(m_previous); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};
