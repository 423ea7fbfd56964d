#pragma once

#include "settings/SettingsPlatform.h"

#include <string>

// The configuration file through the system's own private-profile functions.
class Win32SettingsPlatform final : public SettingsPlatform {
public:
    explicit Win32SettingsPlatform(std::string moduleFileName)
        : m_moduleFileName(std::move(moduleFileName)) {}

    // The running executable, from GetModuleFileNameW.
    static std::string CurrentExecutablePath();

    std::string ModuleFileName() override { return m_moduleFileName; }
    char PathSeparator() const override { return '\\'; }
    bool PathExists(const std::string& path) override;
    bool CreateNewFile(const std::string& path) override;
    std::string ReadProfileValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, const std::string& path) override;
    bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& path) override;

private:
    std::string m_moduleFileName;
};
