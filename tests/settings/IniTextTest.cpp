#include "settings/IniText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct AssignCase {
    const char* name;
    const char* before;
    const char* after;
};

class IniAssignTable : public testing::TestWithParam<AssignCase> {};

TEST_P(IniAssignTable, ChangesOnlyThatKeysLine) {
    EXPECT_EQ(IniAssign(GetParam().before, "SYS", "Control Mode", "1"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniAssignTable,
    testing::Values(AssignCase{"Empty", "", "[SYS]\r\nControl Mode=1\r\n"},
                    AssignCase{"Replace", "[SYS]\r\nControl Mode=0\r\n", "[SYS]\r\nControl Mode=1\r\n"},
                    AssignCase{"NoFinalLineBreak", "[SYS]\r\nControl Mode=0", "[SYS]\r\nControl Mode=1"},
                    AssignCase{"LineFeedOnlyKept", "[SYS]\nControl Mode=0\nX=1\n",
                               "[SYS]\nControl Mode=1\nX=1\n"},
                    AssignCase{"SectionAppended", "[A]\r\nB=1", "[A]\r\nB=1\r\n[SYS]\r\nControl Mode=1\r\n"},
                    AssignCase{"KeyAfterLastEntryNotBlankLines", "[SYS]\r\nX=1\r\n\r\n[B]\r\n",
                               "[SYS]\r\nX=1\r\nControl Mode=1\r\n\r\n[B]\r\n"},
                    AssignCase{"KeyAfterHeaderWithoutLineBreak", "[SYS]", "[SYS]\r\nControl Mode=1\r\n"},
                    AssignCase{"OnlyTheFirstSectionOfThatName", "[SYS]\r\nA=1\r\n[SYS]\r\nControl Mode=0\r\n",
                               "[SYS]\r\nA=1\r\nControl Mode=1\r\n[SYS]\r\nControl Mode=0\r\n"}),
    [](const testing::TestParamInfo<AssignCase>& param) { return param.param.name; });

TEST(IniLookup, FindsTheValueTrimmedAndUnquoted) {
    EXPECT_EQ(IniLookup("[SYS]\r\nControl Mode=  7  \r\n", "SYS", "Control Mode"), "7");
    EXPECT_EQ(IniLookup("[SYS]\r\nControl Mode=\"1\"\r\n", "SYS", "Control Mode"), "1");
    EXPECT_EQ(IniLookup("  [ SYS ]  \r\n  Control Mode=1", "SYS", "Control Mode"), "1");
    EXPECT_EQ(IniLookup("[SYS]\r\nControl Mode=1\r\n", "SYS", "Mode"), std::nullopt);
    EXPECT_EQ(IniLookup("Control Mode=1\r\n[SYS]\r\n", "SYS", "Control Mode"), std::nullopt);
}

TEST(ParseLeadingInt, FollowsAtoiAndSaturates) {
    EXPECT_EQ(ParseLeadingInt("  +7z"), 7);
    EXPECT_EQ(ParseLeadingInt("-12"), -12);
    EXPECT_EQ(ParseLeadingInt("- 1"), 0);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999"), INT_MAX);
    EXPECT_EQ(ParseLeadingInt("-99999999999"), INT_MIN);
}

} // namespace
