#include "cli/CliOptions.h"

#include "protocol/CommandFrame.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    CliOptions expected;
    std::string error;
};

class OptionsTable : public testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTable, ParsesArgumentsIntoOptionsOrOneError) {
    const OptionsCase& c = GetParam();
    const CliParseResult result = ParseCliOptions(c.args);
    EXPECT_EQ(result.error, c.error);
    if (c.error.empty()) {
        EXPECT_EQ(result.options, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Valid, OptionsTable,
    testing::Values(
        OptionsCase{"Defaults", {}, {}, ""}, OptionsCase{"Simulate", {"--simulate"}, {.simulate = true}, ""},
        OptionsCase{"Seed", {"--seed", "42"}, {.seed = 42}, ""},
        OptionsCase{"SeedInlineHighest", {"--seed=4294967295"}, {.seed = 4294967295u}, ""},
        OptionsCase{"Count", {"--count", "3"}, {.count = 3}, ""},
        OptionsCase{
            "SpeedupHighest", {"--simulate", "--speedup", "1000"}, {.simulate = true, .speedup = 1000}, ""},
        OptionsCase{"Interval", {"--interval=200"}, {.intervalMs = 200}, ""},
        OptionsCase{"Json", {"--json"}, {.json = true}, ""},
        OptionsCase{"ModeEco", {"--mode", "eco"}, {.mode = Eco}, ""},
        OptionsCase{"TempFanClear",
                    {"--mode", "temp", "--fan", "1500", "--clear-energy"},
                    {.mode = TempControl, .fanRpm = 1500, .clearEnergy = true},
                    ""},
        OptionsCase{"FanZero", {"--fan=0", "--mode=temp"}, {.mode = TempControl, .fanRpm = 0}, ""},
        OptionsCase{
            "FanHighest", {"--mode", "temp", "--fan", "2200"}, {.mode = TempControl, .fanRpm = 2200}, ""},
        OptionsCase{"Help", {"--help"}, {.help = true}, ""},
        OptionsCase{"ShortHelp", {"-h"}, {.help = true}, ""},
        OptionsCase{"Version", {"--version"}, {.version = true}, ""},
        OptionsCase{"LastValueWins", {"--count", "3", "--count", "5"}, {.count = 5}, ""}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Invalid, OptionsTable,
    testing::Values(
        OptionsCase{"UnknownOption", {"--bogus"}, {}, "unknown argument '--bogus'"},
        OptionsCase{"Positional", {"simulate"}, {}, "unknown argument 'simulate'"},
        OptionsCase{"MissingValue", {"--simulate", "--count"}, {}, "option '--count' needs a value"},
        OptionsCase{"FlagWithValue", {"--json=yes"}, {}, "option '--json' takes no value"},
        OptionsCase{
            "SpeedupZero", {"--simulate", "--speedup=0"}, {}, "invalid value '0' for --speedup (1 to 1000)"},
        OptionsCase{"SpeedupTooHigh",
                    {"--simulate", "--speedup", "1001"},
                    {},
                    "invalid value '1001' for --speedup (1 to 1000)"},
        OptionsCase{"SpeedupOnDevice", {"--speedup", "10"}, {}, "--speedup needs --simulate"},
        OptionsCase{"CountZero", {"--count", "0"}, {}, "invalid value '0' for --count (1 to 2147483647)"},
        OptionsCase{
            "CountNotANumber", {"--count", "3x"}, {}, "invalid value '3x' for --count (1 to 2147483647)"},
        OptionsCase{"CountEmpty", {"--count="}, {}, "invalid value '' for --count (1 to 2147483647)"},
        OptionsCase{"SeedNegative", {"--seed", "-1"}, {}, "invalid value '-1' for --seed (0 to 4294967295)"},
        OptionsCase{"SeedTooBig",
                    {"--seed", "4294967296"},
                    {},
                    "invalid value '4294967296' for --seed (0 to 4294967295)"},
        OptionsCase{
            "IntervalZero", {"--interval", "0"}, {}, "invalid value '0' for --interval (1 to 86400000 ms)"},
        OptionsCase{"FanTooFast",
                    {"--mode", "temp", "--fan", "2201"},
                    {},
                    "invalid value '2201' for --fan (0 to 2200 rpm)"},
        OptionsCase{"FanNegative",
                    {"--mode", "temp", "--fan", "-5"},
                    {},
                    "invalid value '-5' for --fan (0 to 2200 rpm)"},
        OptionsCase{"FanWithoutMode", {"--fan", "1500"}, {}, "--fan needs --mode temp"},
        OptionsCase{"FanInEco", {"--mode", "eco", "--fan", "1500"}, {}, "--fan needs --mode temp"},
        OptionsCase{"UnknownMode", {"--mode", "auto"}, {}, "invalid value 'auto' for --mode (eco or temp)"}),
    CaseName());

} // namespace
