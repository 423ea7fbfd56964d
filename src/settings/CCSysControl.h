#pragma once

#include <string>

// Registers the program to start again when the user logs on. Each platform implements this in its own file.
class CCSysControl {
public:
    virtual ~CCSysControl() = default;

    // Full path of the running executable (UTF-8).
    std::string GetModulePath();
    // True when the per-user autostart place could be opened; what follows is not checked, and nothing is
    // reported.
    bool SetAutoRun(const std::string& data, const std::string& valueName);
};
