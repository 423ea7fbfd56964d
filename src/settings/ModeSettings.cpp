#include "settings/ModeSettings.h"

#include "protocol/PollCycle.h"

#include "settings/IniText.h"
#include <string>

void ModeSettings::LoadConfig(PollCycle& poll) {
    m_configFile.SetModuleDirectory();
    if (m_configFile.PrepareFile(kFileName) == 1 && m_configFile.m_created == 1) {
        m_configPath = m_configFile.GetConfigPath();
        WriteDefaultConfig();
    } else if (m_configFile.m_exists == 1) {
        m_configPath = m_configFile.GetConfigPath();
        ReadConfig(poll);
    }
}

void ModeSettings::ReadConfig(PollCycle& poll) {
    const std::string text = m_platform.ReadProfileValue(kSection, kKey, "", m_configPath);
    poll.ApplyLoadedMode(ParseLeadingInt(text));
}

void ModeSettings::WriteDefaultConfig() {
    m_platform.WriteProfileValue(kSection, kKey, "0", m_configPath);
}

std::optional<std::int32_t> ModeSettings::KeptMode() {
    m_configFile.SetModuleDirectory();
    const std::string path = m_configFile.PathOf(kFileName);
    if (!m_platform.PathExists(path)) {
        return std::nullopt;
    }
    return ParseLeadingInt(m_platform.ReadProfileValue(kSection, kKey, "", path));
}

bool ModeSettings::KeepMode(std::int32_t mode) {
    m_configFile.SetModuleDirectory();
    return WriteMode(mode, m_configFile.PathOf(kFileName));
}

bool ModeSettings::WriteMode(std::int32_t mode, const std::string& path) {
    return m_platform.WriteProfileValue(kSection, kKey, std::to_string(mode), path);
}

void ModeSettings::SaveConfig(const PollCycle& poll) {
    if (m_configPath.empty()) {
        return;
    }
    WriteMode(poll.ControlMode, m_configPath);
}
