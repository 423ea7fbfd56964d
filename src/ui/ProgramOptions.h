#pragma once

#include <string>
#include <vector>

class Autostart;

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
    bool version = false;

    bool operator==(const ProgramOptions&) const = default;
};

struct ProgramOptionsResult {
    ProgramOptions options;
    std::string error; // empty when the arguments were valid
};

ProgramOptionsResult ParseProgramOptions(const std::vector<std::string>& args);
std::string ProgramUsage();
// "Zephyrine 1.3.0".
std::string ProgramVersion();

// The autostart registration a run hands the window: the system's, except in the demo (--simulate), which
// registers nothing, or trying it would make the program start at every log-on.
Autostart& AutostartFor(const ProgramOptions& options, Autostart& system);
