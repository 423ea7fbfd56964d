// Command lines for the cli and for the window program: a parse either fails with a message or gives options
// within their ranges, which written back as arguments parse to the same options, in either spelling of a
// value.
#include "cli/CliOptions.h"
#include "protocol/CommandFrame.h"
#include "ui/ProgramOptions.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// "--name=value" written as "--name" "value", for the options that take a value (and not in an argument that
// is itself the value of the one before).
std::vector<std::string> SplitValues(const std::vector<std::string>& args,
                                     const std::vector<std::string>& names) {
    const auto takesValue = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    std::vector<std::string> split;
    bool isValue = false;
    for (const std::string& arg : args) {
        const auto equals = arg.find('=');
        if (!isValue && equals != std::string::npos && takesValue(arg.substr(0, equals))) {
            split.push_back(arg.substr(0, equals));
            split.push_back(arg.substr(equals + 1));
            continue;
        }
        split.push_back(arg);
        isValue = !isValue && takesValue(arg);
    }
    return split;
}

std::vector<std::string> CliArguments(const CliOptions& options) {
    std::vector<std::string> args;
    const std::pair<bool, const char*> flags[] = {{options.simulate, "--simulate"},
                                                  {options.json, "--json"},
                                                  {options.clearEnergy, "--clear-energy"},
                                                  {options.help, "--help"},
                                                  {options.version, "--version"}};
    for (const auto& [set, name] : flags) {
        if (set) {
            args.emplace_back(name);
        }
    }
    args.push_back("--seed=" + std::to_string(options.seed));
    args.push_back("--interval=" + std::to_string(options.intervalMs));
    if (options.count) {
        args.push_back("--count=" + std::to_string(*options.count));
    }
    if (options.mode) {
        args.push_back(*options.mode == TempControl ? "--mode=temp" : "--mode=eco");
    }
    if (options.fanRpm) {
        args.push_back("--fan=" + std::to_string(*options.fanRpm));
    }
    return args;
}

void CheckCli(const std::vector<std::string>& args) {
    const CliParseResult result = ParseCliOptions(args);
    const auto again =
        ParseCliOptions(SplitValues(args, {"--seed", "--count", "--interval", "--mode", "--fan"}));
    Require(again.error.empty() == result.error.empty(), "both spellings of a value are equally valid");
    if (!result.error.empty()) {
        return;
    }
    Require(again.options == result.options, "both spellings of a value give the same options");
    const CliOptions& options = result.options;
    Require(!options.count || *options.count >= 1, "a count is positive");
    Require(options.intervalMs >= 1 && options.intervalMs <= 24 * 60 * 60 * 1000,
            "an interval is 1 ms to a day");
    Require(!options.mode || *options.mode == Eco || *options.mode == TempControl,
            "a mode is Eco or TempControl");
    Require(!options.fanRpm ||
                (*options.fanRpm >= 0 && *options.fanRpm <= 2200 && options.mode == TempControl),
            "a fan speed is 0 to 2200 rpm and comes with the TempControl mode");
    const CliParseResult written = ParseCliOptions(CliArguments(options));
    Require(written.error.empty() && written.options == options, "the options written back parse the same");
}

std::vector<std::string> ProgramArguments(const ProgramOptions& options) {
    std::vector<std::string> args;
    if (options.simulate) {
        args.emplace_back("--simulate");
    }
    if (options.help) {
        args.emplace_back("-h");
    }
    if (options.version) {
        args.emplace_back("--version");
    }
    args.push_back("--poll-interval=" + std::to_string(options.pollIntervalMs));
    if (!options.simulateLogPath.empty()) {
        args.emplace_back("--simulate-log");
        args.push_back(options.simulateLogPath);
    }
    return args;
}

void CheckProgram(const std::vector<std::string>& args) {
    const ProgramOptionsResult result = ParseProgramOptions(args);
    const auto again = ParseProgramOptions(SplitValues(args, {"--poll-interval", "--simulate-log"}));
    Require(again.error.empty() == result.error.empty(), "both spellings of a value are equally valid");
    if (!result.error.empty()) {
        return;
    }
    Require(again.options == result.options, "both spellings of a value give the same options");
    const ProgramOptions& options = result.options;
    Require(options.pollIntervalMs >= ProgramOptions::kShortestPollIntervalMs,
            "the poll interval is at least 100 ms");
    Require(options.simulateLogPath.empty() || options.simulate, "a simulate log comes with --simulate");
    const ProgramOptionsResult written = ParseProgramOptions(ProgramArguments(options));
    Require(written.error.empty() && written.options == options, "the options written back parse the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The arguments, separated by NUL as in /proc/PID/cmdline.
    std::vector<std::string> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        args.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    CheckCli(args);
    CheckProgram(args);
    return 0;
}
