#pragma once

#include "settings/Autostart.h"

#include <map>
#include <string>

// The window's autostart registration, kept in memory: what was registered under each name.
class RecordingAutostart final : public Autostart {
public:
    explicit RecordingAutostart(std::string modulePath = "/opt/zephyrine/Zephyrine")
        : m_modulePath(std::move(modulePath)) {}

    std::string GetModulePath() override { return m_modulePath; }
    bool SetAutoRun(const std::string& data, const std::string& valueName) override {
        registered[valueName] = data;
        return true;
    }

    std::map<std::string, std::string> registered;

private:
    std::string m_modulePath;
};
