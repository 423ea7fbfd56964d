#include "settings/SettingsPlatform.h"

#include "support/CaseName.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"

#include <gtest/gtest.h>

#include <string>

// Hand-edited files read and written through this platform's real profile functions: the system's own on
// Windows, the INI engine on Linux. The Windows functions are the reference the table was taken from; cases
// where Wine rewrites the whole file instead of only the key's line (line ends, blank lines, header spacing)
// are left to IniTextTest, which holds the Windows behaviour.
namespace {

const char* const kDefault = "<default>";

struct ProfileCase {
    const char* name;
    std::string before;
    std::string read;  // what ReadProfileValue gives for "SYS"/"Control Mode"
    std::string after; // the file after "Control Mode" = "1" was written
};

class SettingsPlatformTest : public testing::Test {
protected:
    std::string File() const { return (directory.Path() / "HalcyraConfig@Ostrel.ini").string(); }

    TempDirectory directory;
    std::unique_ptr<SettingsPlatform> platform =
        MakeTestSettingsPlatform((directory.Path() / "Zephyrine").string());
};

class SettingsPlatformTable : public SettingsPlatformTest, public testing::WithParamInterface<ProfileCase> {};

TEST_P(SettingsPlatformTable, ReadsAndWritesTheKeyAsTheProfileFunctionsDo) {
    WriteFileBytes(File(), GetParam().before);
    EXPECT_EQ(platform->ReadProfileValue("SYS", "Control Mode", kDefault, File()), GetParam().read);
    EXPECT_TRUE(platform->WriteProfileValue("SYS", "Control Mode", "1", File()));
    EXPECT_EQ(ReadFileBytes(File()), GetParam().after);
}

const std::string kLong(130, '7');

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, SettingsPlatformTable,
    testing::Values(
        ProfileCase{"Empty", "", kDefault, "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"Replaced", "[SYS]\r\nControl Mode=0\r\n", "0", "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"BlanksAroundTheEqualsSign", "[SYS]\r\nControl Mode = 0 \r\n", "0",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TabsAndLeadingBlanks", "[SYS]\r\n\tControl Mode\t=\t2\t\r\n", "2",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TheKeyKeepsItsSpelling", "[sys]\r\ncontrol mode=0\r\n", "0",
                    "[sys]\r\ncontrol mode=1\r\n"},
        ProfileCase{"ALineWithoutEqualsSignIsTheKeyWithoutValue", "[SYS]\r\nControl Mode\r\n", kDefault,
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"AddedAfterTheLastEntry", "[SYS]\r\nUser=x\r\n", kDefault,
                    "[SYS]\r\nUser=x\r\nControl Mode=1\r\n"},
        ProfileCase{"AddedAfterALastLineWithoutLineBreak", "[SYS]\r\nUser=x", kDefault,
                    "[SYS]\r\nUser=x\r\nControl Mode=1\r\n"},
        ProfileCase{"AddedBelowABareHeader", "[SYS]", kDefault, "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"SectionAppended", "[Other]\r\nA=1", kDefault,
                    "[Other]\r\nA=1\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"DoubleQuotesDropped", "[SYS]\r\nControl Mode=\"9\"\r\n", "9",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"SingleQuotesDropped", "[SYS]\r\nControl Mode='3'\r\n", "3",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"BlanksInsideQuotesKept", "[SYS]\r\nControl Mode=\" 5 \"\r\n", " 5 ",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"EmptyQuotes", "[SYS]\r\nControl Mode=\"\"\r\n", "", "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"AnUnmatchedQuoteStays", "[SYS]\r\nControl Mode=\"4\r\n", "\"4",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"ABlankValue", "[SYS]\r\nControl Mode=\t\r\n", "", "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TextAfterTheValueIsPartOfIt", "[SYS]\r\nControl Mode=2  ;c\r\n", "2  ;c",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"ASecondEqualsSignIsPartOfTheValue", "[SYS]\r\nControl Mode=1=2\r\n", "1=2",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"AStrayCarriageReturnIsABlank", "[SYS]\r\nControl Mode=2\r\r\n", "2",
                    "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"ValueCutAt127Characters", "[SYS]\r\nControl Mode=" + kLong + "\r\n",
                    kLong.substr(0, 127), "[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"ACommentIsNotTheKey", "[SYS]\r\n;Control Mode=1\r\n", kDefault,
                    "[SYS]\r\n;Control Mode=1\r\nControl Mode=1\r\n"},
        ProfileCase{"InnerBlanksOfTheKeyCount", "[SYS]\r\nControl  Mode=2\r\n", kDefault,
                    "[SYS]\r\nControl  Mode=2\r\nControl Mode=1\r\n"},
        ProfileCase{"AnEmptyKeyIsSkipped", "[SYS]\r\n=2\r\nControl Mode=3\r\n", "3",
                    "[SYS]\r\n=2\r\nControl Mode=1\r\n"},
        ProfileCase{"OnlyTheFirstSectionOfThatName", "[SYS]\r\nA=1\r\n[SYS]\r\nControl Mode=3\r\n", kDefault,
                    "[SYS]\r\nA=1\r\nControl Mode=1\r\n[SYS]\r\nControl Mode=3\r\n"},
        ProfileCase{"OnlyTheFirstKeyOfThatName", "[SYS]\r\nControl Mode=3\r\nControl Mode=4\r\n", "3",
                    "[SYS]\r\nControl Mode=1\r\nControl Mode=4\r\n"},
        ProfileCase{"AHeaderWithoutClosingBracketIsNoHeader", "[SYS\r\nControl Mode=3\r\n", kDefault,
                    "[SYS\r\nControl Mode=3\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TheNameEndsAtTheLastClosingBracket", "[SYS]]\r\nControl Mode=3\r\n", kDefault,
                    "[SYS]]\r\nControl Mode=3\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"ADoubledOpeningBracketIsPartOfTheName", "[[SYS]\r\nControl Mode=3\r\n", kDefault,
                    "[[SYS]\r\nControl Mode=3\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"AKeyBeforeAnySectionIsNotInIt", "Control Mode=5\r\n[SYS]\r\n", kDefault,
                    "Control Mode=5\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TextBeforeTheFirstSectionStays", "junk\r\n[SYS]\r\nControl Mode=2\r\n", "2",
                    "junk\r\n[SYS]\r\nControl Mode=1\r\n"}),
    CaseName());

TEST_F(SettingsPlatformTest, AMissingFileGivesTheDefaultAndIsCreatedByAWrite) {
    EXPECT_EQ(platform->ReadProfileValue("SYS", "Control Mode", kDefault, File()), kDefault);
    EXPECT_TRUE(platform->WriteProfileValue("SYS", "Control Mode", "0", File()));
    EXPECT_EQ(ReadFileBytes(File()), "[SYS]\r\nControl Mode=0\r\n");
}

TEST_F(SettingsPlatformTest, CreateNewFileMakesAnEmptyFileOnlyOnce) {
    EXPECT_FALSE(platform->PathExists(File()));
    EXPECT_TRUE(platform->CreateNewFile(File()));
    EXPECT_TRUE(platform->PathExists(File()));
    EXPECT_EQ(ReadFileBytes(File()), "");
    WriteFileBytes(File(), "[SYS]\r\nControl Mode=1\r\n");
    EXPECT_FALSE(platform->CreateNewFile(File()));
    EXPECT_EQ(ReadFileBytes(File()), "[SYS]\r\nControl Mode=1\r\n");
}

} // namespace
