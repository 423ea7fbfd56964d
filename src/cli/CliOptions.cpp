#include "cli/CliOptions.h"

#include "protocol/CommandFrame.h"

#include <charconv>
#include <limits>

namespace {

constexpr int kHighestFanRpm = 2200;
constexpr int kLongestIntervalMs = 24 * 60 * 60 * 1000;

std::optional<long long> ParseNumber(const std::string& text, long long low, long long high) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string InvalidValue(const std::string& option, const std::string& value, const std::string& allowed) {
    return "invalid value '" + value + "' for " + option + " (" + allowed + ")";
}

// Reads the value of one option into options; returns an error text, empty when it was valid.
std::string ApplyValue(CliOptions& options, const std::string& option, const std::string& value) {
    const auto number = [&](long long low, long long high) { return ParseNumber(value, low, high); };
    const auto range = [](long long low, long long high) {
        return std::to_string(low) + " to " + std::to_string(high);
    };
    if (option == "--seed") {
        const auto seed = number(0, std::numeric_limits<std::uint32_t>::max());
        if (!seed) {
            return InvalidValue(option, value, range(0, std::numeric_limits<std::uint32_t>::max()));
        }
        options.seed = static_cast<std::uint32_t>(*seed);
    } else if (option == "--speedup") {
        const auto speedup = number(1, CliOptions::kHighestSpeedup);
        if (!speedup) {
            return InvalidValue(option, value, range(1, CliOptions::kHighestSpeedup));
        }
        options.speedup = static_cast<int>(*speedup);
    } else if (option == "--count") {
        const auto count = number(1, std::numeric_limits<int>::max());
        if (!count) {
            return InvalidValue(option, value, range(1, std::numeric_limits<int>::max()));
        }
        options.count = static_cast<int>(*count);
    } else if (option == "--interval") {
        const auto interval = number(1, kLongestIntervalMs);
        if (!interval) {
            return InvalidValue(option, value, range(1, kLongestIntervalMs) + " ms");
        }
        options.intervalMs = static_cast<int>(*interval);
    } else if (option == "--fan") {
        const auto rpm = number(0, kHighestFanRpm);
        if (!rpm) {
            return InvalidValue(option, value, range(0, kHighestFanRpm) + " rpm");
        }
        options.fanRpm = static_cast<int>(*rpm);
    } else if (value == "eco") { // --mode
        options.mode = Eco;
    } else if (value == "temp") {
        options.mode = TempControl;
    } else {
        return InvalidValue(option, value, "eco or temp");
    }
    return {};
}

bool TakesValue(const std::string& option) {
    return option == "--seed" || option == "--speedup" || option == "--count" || option == "--interval" ||
           option == "--mode" || option == "--fan";
}

bool* FlagOf(CliOptions& options, const std::string& option) {
    if (option == "--simulate") {
        return &options.simulate;
    }
    if (option == "--json") {
        return &options.json;
    }
    if (option == "--clear-energy") {
        return &options.clearEnergy;
    }
    if (option == "--help" || option == "-h") {
        return &options.help;
    }
    if (option == "--version") {
        return &options.version;
    }
    return nullptr;
}

} // namespace

CliParseResult ParseCliOptions(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // Both "--name value" and "--name=value".
        const std::size_t equals = args[i].find('=');
        const std::string option = args[i].substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos) {
            inlineValue = args[i].substr(equals + 1);
        }

        if (bool* flag = FlagOf(options, option)) {
            if (inlineValue) {
                result.error = "option '" + option + "' takes no value";
                return result;
            }
            *flag = true;
        } else if (TakesValue(option)) {
            if (!inlineValue && i + 1 == args.size()) {
                result.error = "option '" + option + "' needs a value";
                return result;
            }
            result.error = ApplyValue(options, option, inlineValue ? *inlineValue : args[++i]);
            if (!result.error.empty()) {
                return result;
            }
        } else {
            result.error = "unknown argument '" + args[i] + "'";
            return result;
        }
    }
    // The fan-speed dialog only exists in TempControl; a speed alone would switch the supply for one poll.
    if (options.fanRpm && options.mode != TempControl) {
        result.error = "--fan needs --mode temp";
    }
    // A device answers in its own time, however fast the cli looks for the answer.
    if (options.speedup != 1 && !options.simulate) {
        result.error = "--speedup needs --simulate";
    }
    return result;
}

std::string CliUsage() {
    return "Usage: zephyrine-cli [options]\n"
           "Polls the power supply and prints its eleven readings, each with its warn flag.\n"
           "\n"
           "  --simulate        talk to the virtual power supply instead of the device; the window's\n"
           "                    mode is then neither followed nor kept\n"
           "  --seed N          noise seed of the virtual supply (default " +
           std::to_string(CliOptions::kDefaultSeed) +
           ")\n"
           "  --speedup N       with --simulate: make every wait of the poll N times shorter (1 to " +
           std::to_string(CliOptions::kHighestSpeedup) +
           "); the\n"
           "                    virtual supply still ages by the whole interval per poll\n"
           "  --count N         stop after N polls (default: poll until interrupted)\n"
           "  --interval MS     time between polls in milliseconds (default " +
           std::to_string(CliOptions::kDefaultIntervalMs) +
           ")\n"
           "  --json            one JSON object per poll and line\n"
           "  --mode eco|temp   switch the fan control program with the first poll, and keep it as the\n"
           "                    window's mode; without it every poll sends the mode the window keeps\n"
           "  --fan RPM         request a fan speed of 0 to 2200 rpm (needs --mode temp)\n"
           "  --clear-energy    clear the energy counter with the first poll\n"
           "  -h, --help        show this help\n"
           "  --version         show the version\n"
           "\n"
           "A poll the supply does not answer prints \"no reply from the power supply\" (JSON: "
           "\"reply\":false).\n"
           "\n"
           "Exit status:\n"
           "  0  done, and the supply answered at least one poll\n"
           "  1  no power supply found\n"
           "  2  invalid arguments\n"
           "  3  the power supply was found but cannot be opened (permission)\n"
           "  4  the power supply answered none of the polls\n"
           "  5  --mode, --fan or --clear-energy while the Zephyrine window runs: its buttons own them\n";
}
