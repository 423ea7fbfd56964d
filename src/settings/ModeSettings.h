#pragma once

#include "settings/CCConfigFile.h"
#include "settings/SettingsPlatform.h"

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

    const std::string& ConfigPath() const { return m_configPath; }

private:
    SettingsPlatform& m_platform;
    std::string m_configPath;
    CCConfigFile m_configFile;
};
