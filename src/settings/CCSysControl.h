#pragma once

#include "settings/Autostart.h"

#include <string>

// The platform's autostart registration. Each platform implements this in its own file.
class CCSysControl final : public Autostart {
public:
    std::string GetModulePath() override;
    bool SetAutoRun(const std::string& data, const std::string& valueName) override;
};
