#pragma once

#include <string>

// Registers the program to start again when the user logs on: CCSysControl on each platform, a fake in the
// window's tests, which must never touch the user's own registration.
class Autostart {
public:
    virtual ~Autostart() = default;

    // Full path of the running executable (UTF-8).
    virtual std::string GetModulePath() = 0;
    // True when the per-user autostart place could be opened; what follows is not checked, and nothing is
    // reported.
    virtual bool SetAutoRun(const std::string& data, const std::string& valueName) = 0;
};
