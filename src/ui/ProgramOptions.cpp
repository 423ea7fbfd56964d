#include "ui/ProgramOptions.h"

#include <charconv>

namespace {

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

} // namespace

ProgramOptionsResult ParseProgramOptions(const std::vector<std::string>& args) {
    ProgramOptionsResult result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--simulate") {
            result.options.simulate = true;
        } else if (arg == "--help" || arg == "-h") {
            result.options.help = true;
        } else if (arg == "--poll-interval" || arg.starts_with("--poll-interval=")) {
            std::string value;
            if (arg.size() > std::string_view("--poll-interval").size()) {
                value = arg.substr(std::string_view("--poll-interval=").size());
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (!ParseInterval(value, result.options.pollIntervalMs)) {
                result.error = "--poll-interval needs a number of milliseconds, at least " +
                               std::to_string(ProgramOptions::kShortestPollIntervalMs);
                return result;
            }
        } else {
            result.error = "unknown argument: " + arg;
            return result;
        }
    }
    return result;
}

std::string ProgramUsage() {
    return "Usage: Zephyrine [--simulate] [--poll-interval MS]\n"
           "  --simulate          run against the virtual power supply instead of the device\n"
           "  --poll-interval MS  poll the supply every MS milliseconds (default 5000, at least 100)\n";
}
