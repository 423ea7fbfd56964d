#pragma once

#include <string>
#include <vector>

// The window program's command line (after the window system has taken its own arguments).
struct ProgramOptions {
    static constexpr int kDefaultPollIntervalMs = 5000;
    static constexpr int kShortestPollIntervalMs = 100;

    // Runs against the virtual supply instead of the device.
    bool simulate = false;
    // The period of the poll timer.
    int pollIntervalMs = kDefaultPollIntervalMs;
    bool help = false;
    // With simulate: the file that gets every output report the virtual supply receives.
    std::string simulateLogPath;

    bool operator==(const ProgramOptions&) const = default;
};

struct ProgramOptionsResult {
    ProgramOptions options;
    std::string error; // empty when the arguments were valid
};

ProgramOptionsResult ParseProgramOptions(const std::vector<std::string>& args);
std::string ProgramUsage();
