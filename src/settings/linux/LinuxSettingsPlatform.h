#pragma once

#include "settings/SettingsPlatform.h"

#include <iostream>
#include <string>

// The profile functions do not exist here: the INI file is read and rewritten by our own code. A save goes to
// a temporary file in the same directory that is then renamed over the old one, so a crash or a full disk
// never leaves a half-written file. Only a regular file of sane size is read or written; why another is not
// goes to warnings, one line naming the path.
class LinuxSettingsPlatform final : public SettingsPlatform {
public:
    explicit LinuxSettingsPlatform(std::string moduleFileName, std::ostream& warnings = std::cerr)
        : m_moduleFileName(std::move(moduleFileName)), m_warnings(warnings) {}

    // The running executable, from /proc/self/exe.
    static std::string CurrentExecutablePath();
    // What to hand the constructor so that fileName lives beside the executable. That is only where this
    // user may write it: an existing file a regular file this user may write, a missing one a directory this
    // user may write. An installed program never keeps it in its bin directory, not even when run by root,
    // who would otherwise hand every user a file they can read but not save. Elsewhere the file lives in
    // $XDG_CONFIG_HOME/zephyrine/.
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
    std::ostream& m_warnings;
};
