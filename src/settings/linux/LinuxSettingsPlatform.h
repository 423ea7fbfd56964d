#pragma once

#include "settings/SettingsPlatform.h"

#include <string>

// The profile functions do not exist here: the INI file is read and rewritten by our own code. A save goes to
// a temporary file in the same directory that is then renamed over the old one, so a crash or a full disk
// never leaves a half-written file.
class LinuxSettingsPlatform final : public SettingsPlatform {
public:
    explicit LinuxSettingsPlatform(std::string moduleFileName)
        : m_moduleFileName(std::move(moduleFileName)) {}

    // The running executable, from /proc/self/exe.
    static std::string CurrentExecutablePath();
    // What to hand the constructor so that fileName lives beside the executable. An installed program's
    // directory
    // (/usr/bin) is not the user's to write, and there the mode would be lost at every exit: unless the file
    // is already there or the directory is writable, the file goes to $XDG_CONFIG_HOME/zephyrine/ instead.
    static std::string ConfigAnchorPath(const std::string& executablePath, const std::string& fileName);

    std::string ModuleFileName() override { return m_moduleFileName; }
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override;
    bool CreateNewFile(const std::string& path) override;
    std::string ReadProfileValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, const std::string& path) override;
    bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& path) override;

private:
    std::string m_moduleFileName;
};
