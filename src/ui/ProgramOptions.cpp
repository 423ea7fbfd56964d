#include "ui/ProgramOptions.h"

#include "common/Version.h"
#include "settings/Autostart.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace {

// The value of the option name at args[i], given as "name=value" or as the next argument (which it then
// takes); nullopt when args[i] is another argument. A missing value reads as empty.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name) {
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    if (arg != name) {
        return std::nullopt;
    }
    return i + 1 < args.size() ? args[++i] : std::string();
}

bool ParseInterval(const std::string& text, int& intervalMs) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() ||
        value < ProgramOptions::kShortestPollIntervalMs) {
        return false;
    }
    intervalMs = value;
    return true;
}

class NoAutostart final : public Autostart {
public:
    std::string GetModulePath() override { return {}; }
    bool SetAutoRun(const std::string&, const std::string&) override { return false; }
};

} // namespace

ProgramOptionsResult ParseProgramOptions(const std::vector<std::string>& args) {
    ProgramOptionsResult result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--simulate") {
            result.options.simulate = true;
        } else if (arg == "--help" || arg == "-h") {
            result.options.help = true;
        } else if (arg == "--version") {
            result.options.version = true;
        } else if (const auto interval = OptionValue(args, i, "--poll-interval")) {
            if (!ParseInterval(*interval, result.options.pollIntervalMs)) {
                result.error = "--poll-interval needs a number of milliseconds, at least " +
                               std::to_string(ProgramOptions::kShortestPollIntervalMs);
                return result;
            }
        } else if (const auto logPath = OptionValue(args, i, "--simulate-log")) {
            if (logPath->empty()) {
                result.error = "--simulate-log needs a file name";
                return result;
            }
            result.options.simulateLogPath = *logPath;
        } else {
            result.error = "unknown argument '" + arg + "'";
            return result;
        }
    }
    if (!result.options.simulateLogPath.empty() && !result.options.simulate) {
        result.error = "--simulate-log needs --simulate";
    }
    return result;
}

std::string ProgramUsage() {
    return "Usage: Zephyrine [--simulate [--simulate-log FILE]] [--poll-interval MS]\n"
           "Shows the readings of the power supply on USB and controls its fan, from a window and the tray.\n"
           "\n"
           "  --simulate           run against the virtual power supply instead of the device; a demo:\n"
           "                       it does not register the program to start at log-on\n"
           "  --simulate-log FILE  write every output report the virtual supply receives to FILE, one\n"
           "                       line of hex digits per report (report ID first), within 0.1 s\n"
           "  --poll-interval MS   poll the supply every MS milliseconds (default 5000, at least 100)\n"
           "  -h, --help           show this help\n"
           "  --version            show the version\n";
}

std::string ProgramVersion() {
    return std::string("Zephyrine ") + kZephyrineVersion;
}

Autostart& AutostartFor(const ProgramOptions& options, Autostart& system) {
    // Holds nothing, so one for every run will do.
    static NoAutostart none;
    return options.simulate ? none : system;
}
