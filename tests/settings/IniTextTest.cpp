#include "settings/IniText.h"

#include "support/Utf16Le.h"

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
    testing::Values(
        AssignCase{"Empty", "", "[SYS]\r\nControl Mode=1\r\n"},
        AssignCase{"Replace", "[SYS]\r\nControl Mode=0\r\n", "[SYS]\r\nControl Mode=1\r\n"},
        AssignCase{"NoFinalLineBreak", "[SYS]\r\nControl Mode=0", "[SYS]\r\nControl Mode=1\r\n"},
        AssignCase{"LoneCarriageReturnsKept", "[SYS]\rControl Mode=0\rX=1\r", "[SYS]\rControl Mode=1\rX=1\r"},
        AssignCase{"AddedBeforeTheNextHeaderAfterALoneCarriageReturn", "[SYS]\rX=1\r[B]\rY=2",
                   "[SYS]\rX=1\rControl Mode=1\r\n[B]\rY=2"},
        AssignCase{"LineFeedOnlyKept", "[SYS]\nControl Mode=0\nX=1\n", "[SYS]\nControl Mode=1\nX=1\n"},
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

TEST(IniUtf16, ValuesAreConvertedFromAndToUtf8) {
    EXPECT_EQ(IniLookup(Utf16Le(u"[SYS]\rControl Mode=\u00E9\u20AC\U0001F600"), "SYS", "Control Mode"),
              "\u00E9\u20AC\U0001F600");
    EXPECT_EQ(IniLookup(Utf16Le(u"[\u00E9]\r\nK\u00E9=1\r\n"), "\u00E9", "K\u00E9"), "1");
    EXPECT_EQ(IniAssign(Utf16Le(u"[SYS]\r\n"), "SYS", "Control Mode", "\u00E9\U0001F600"),
              Utf16Le(u"[SYS]\r\nControl Mode=\u00E9\U0001F600\r\n"));
}

TEST(IniUtf16, WhatIsNoCharacterBecomesTheReplacementCharacter) {
    const std::u16string loneSurrogates = u"[SYS]\r\nA=x\xD800y\r\nB=\xDC00\r\n";
    EXPECT_EQ(IniLookup(Utf16Le(loneSurrogates), "SYS", "A"), "x\uFFFDy");
    EXPECT_EQ(IniLookup(Utf16Le(loneSurrogates), "SYS", "B"), "\uFFFD");
    // A lead byte without its continuation, a continuation without its lead, an overlong '/', a surrogate.
    EXPECT_EQ(IniAssign(Utf16Le(u""), "SYS", "K", "\xC3|\x80|\xC0\xAF|\xED\xA0\x80"),
              Utf16Le(u"[SYS]\r\nK=\uFFFD|\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\r\n"));
}

TEST(IniUtf16, OnlyTheKeysLineChangesAndTheRestKeepsItsBytes) {
    const std::u16string rest = u"\r\nX=\xD800\r\n\r\n[B]\r\n";
    EXPECT_EQ(IniAssign(Utf16Le(u"[SYS]\r\nControl Mode=0" + rest), "SYS", "Control Mode", "1"),
              Utf16Le(u"[SYS]\r\nControl Mode=1" + rest));
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
