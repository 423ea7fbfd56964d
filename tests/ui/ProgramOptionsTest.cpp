#include "ui/ProgramOptions.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct OptionsCase {
    std::string name;
    std::vector<std::string> args;
    ProgramOptions options;
    bool valid;
};

class ParseProgramOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(ParseProgramOptionsTest, ReadsTheArgumentsOrSaysWhatIsWrong) {
    const ProgramOptionsResult result = ParseProgramOptions(GetParam().args);
    EXPECT_EQ(result.error.empty(), GetParam().valid) << result.error;
    if (GetParam().valid) {
        EXPECT_EQ(result.options, GetParam().options);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseProgramOptionsTest,
    testing::Values(OptionsCase{"None", {}, {false, 5000, false, ""}, true},
                    OptionsCase{"Simulate", {"--simulate"}, {true, 5000, false, ""}, true},
                    OptionsCase{"IntervalApart",
                                {"--poll-interval", "1000", "--simulate"},
                                {true, 1000, false, ""},
                                true},
                    OptionsCase{"IntervalJoined", {"--poll-interval=250"}, {false, 250, false, ""}, true},
                    OptionsCase{"Help", {"--help"}, {false, 5000, true, ""}, true},
                    OptionsCase{"HelpShort", {"-h"}, {false, 5000, true, ""}, true},
                    OptionsCase{"Version", {"--version"}, {false, 5000, false, "", true}, true},
                    OptionsCase{"SimulateLogApart",
                                {"--simulate", "--simulate-log", "/tmp/frames"},
                                {true, 5000, false, "/tmp/frames"},
                                true},
                    OptionsCase{"SimulateLogJoined",
                                {"--simulate-log=frames.log", "--simulate"},
                                {true, 5000, false, "frames.log"},
                                true},
                    OptionsCase{"SimulateLogWithoutSimulate", {"--simulate-log", "frames.log"}, {}, false},
                    OptionsCase{"SimulateLogMissing", {"--simulate", "--simulate-log"}, {}, false},
                    OptionsCase{"SimulateLogPrefixIsNoOption", {"--simulate-logs", "x"}, {}, false},
                    OptionsCase{"IntervalTooShort", {"--poll-interval", "99"}, {}, false},
                    OptionsCase{"IntervalNotANumber", {"--poll-interval", "5s"}, {}, false},
                    OptionsCase{"IntervalMissing", {"--poll-interval"}, {}, false},
                    OptionsCase{"Unknown", {"--fast"}, {}, false}),
    CaseName());

TEST(ProgramUsage, NamesEveryOptionAndSaysTheDemoDoesNotRegisterForAutostart) {
    const std::string usage = ProgramUsage();
    for (const char* option :
         {"--simulate ", "--simulate-log FILE", "--poll-interval MS", "--help", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    const std::size_t simulate = usage.find("  --simulate ");
    ASSERT_NE(simulate, std::string::npos);
    const std::string simulateHelp = usage.substr(simulate, usage.find("  --simulate-log") - simulate);
    EXPECT_NE(simulateHelp.find("does not register the program to start at log-on"), std::string::npos)
        << simulateHelp;
}

} // namespace
