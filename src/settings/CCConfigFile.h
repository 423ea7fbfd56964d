#pragma once

#include "settings/SettingsPlatform.h"

#include <cstdint>
#include <string>

// Locates the configuration file beside the executable and creates it when it is missing.
class CCConfigFile {
public:
    explicit CCConfigFile(SettingsPlatform& platform) : m_platform(platform) {}

    void SetModuleDirectory();
    // 1 when this call created the file, else 0.
    int PrepareFile(const std::string& fileName);
    std::string GetConfigPath() const { return m_fullPath; }
    // Where fileName lives, once SetModuleDirectory has run.
    std::string PathOf(const std::string& fileName) const {
        return m_directory + m_platform.PathSeparator() + fileName;
    }

    std::string m_directory;
    std::string m_fullPath;
    std::int32_t m_created = 0;
    std::int32_t m_exists = 0;

private:
    SettingsPlatform& m_platform;
};
