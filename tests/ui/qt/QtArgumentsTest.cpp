#include "ui/qt/QtArguments.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ArgumentsCase {
    std::string name;
    std::vector<std::string> commandLine;
    std::vector<std::string> program;
};

class ProgramArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(ProgramArgumentsTest, LeavesOutWhatQtTakesForItself) {
    EXPECT_EQ(ProgramArguments(GetParam().commandLine), GetParam().program);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ProgramArgumentsTest,
    testing::Values(ArgumentsCase{"None", {}, {}},
                    ArgumentsCase{"OnlyTheProgramsOwn",
                                  {"--simulate", "--poll-interval", "100", "-h"},
                                  {"--simulate", "--poll-interval", "100", "-h"}},
                    ArgumentsCase{"PlatformAndItsValue", {"-platform", "offscreen", "--help"}, {"--help"}},
                    ArgumentsCase{"TwoDashesAsQtReadsThem", {"--display", ":1", "--version"}, {"--version"}},
                    ArgumentsCase{"JoinedValue", {"-style=Fusion", "--simulate"}, {"--simulate"}},
                    ArgumentsCase{"Flags", {"-reverse", "-sync", "--simulate"}, {"--simulate"}},
                    ArgumentsCase{"ValueLookingLikeAnOption", {"-qwindowtitle", "--help"}, {}},
                    ArgumentsCase{"MissingValueAtTheEnd", {"--simulate", "-platform"}, {"--simulate"}},
                    ArgumentsCase{"UnknownOptionsStayForTheProgramToRefuse",
                                  {"--bogus", "-x", "-platforms"},
                                  {"--bogus", "-x", "-platforms"}}),
    CaseName());

} // namespace
