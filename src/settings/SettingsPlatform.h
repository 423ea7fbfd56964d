#pragma once

#include <string>

// What the configuration file needs of the platform: the executable's own path, files, and the
// private-profile (INI) reads and writes. Paths and texts are UTF-8.
class SettingsPlatform {
public:
    virtual ~SettingsPlatform() = default;

    // Full path of the running executable.
    virtual std::string ModuleFileName() = 0;
    virtual char PathSeparator() const = 0;
    virtual bool PathExists(const std::string& path) = 0;
    // Creates a new empty file; false when it exists already or cannot be created.
    virtual bool CreateNewFile(const std::string& path) = 0;
    // Value of key in section, or defaultValue; at most 127 characters of it.
    virtual std::string ReadProfileValue(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, const std::string& path) = 0;
    // Changes only that key's line, adding the section or the line when missing; false when nothing was
    // written.
    virtual bool WriteProfileValue(const std::string& section, const std::string& key,
                                   const std::string& value, const std::string& path) = 0;
};
