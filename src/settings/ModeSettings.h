#pragma once

#include "settings/CCConfigFile.h"
#include "settings/SettingsPlatform.h"

#include <cstdint>
#include <optional>
#include <string>

class PollCycle;

// Keeps ControlMode across runs in "HalcyraConfig@Ostrel.ini" beside the executable: read once at start-up,
// written when the mode changes, when the session ends and when the window is destroyed (and once more at
// start-up when the file was just created).
class ModeSettings {
public:
    static constexpr const char* kFileName = "HalcyraConfig@Ostrel.ini";
    static constexpr const char* kSection = "SYS";
    static constexpr const char* kKey = "Control Mode";

    explicit ModeSettings(SettingsPlatform& platform) : m_platform(platform), m_configFile(platform) {}

    void LoadConfig(PollCycle& poll);
    void ReadConfig(PollCycle& poll);
    void WriteDefaultConfig();
    void SaveConfig(const PollCycle& poll);
    // For another program beside the window: the mode the file keeps, read without creating or changing the
    // file; nullopt when there is no file.
    std::optional<std::int32_t> KeptMode();
    // Writes mode into the file, creating it when missing, for the window's next start; false when nothing
    // was written.
    bool KeepMode(std::int32_t mode);

    const std::string& ConfigPath() const { return m_configPath; }

private:
    bool WriteMode(std::int32_t mode, const std::string& path);

    SettingsPlatform& m_platform;
    std::string m_configPath;
    CCConfigFile m_configFile;
};
