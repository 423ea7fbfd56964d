#include "settings/SettingsPlatform.h"

#include "support/CaseName.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "support/Utf16Le.h"

#include <gtest/gtest.h>

#include <string>

// Hand-edited files read and written through this platform's real profile functions: the system's own on
// Windows, the INI engine on Linux. The Windows functions are the reference the table was taken from. Wine's
// functions rewrite the whole file from a parsed copy and parse some lines their own way; a row where Wine
// answers otherwise than Windows names the difference and is skipped there.
namespace {

const char* const kDefault = "<default>";

struct ProfileCase {
    const char* name;
    std::string before;
    std::string read;                  // what ReadProfileValue gives for "SYS"/"Control Mode"
    std::string after;                 // the file after "Control Mode" = "1" was written
    const char* wineDiffers = nullptr; // how Wine (8.0) answers otherwise
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
    if (GetParam().wineDiffers != nullptr && ProfileFunctionsAreWines()) {
        GTEST_SKIP() << "Wine differs from Windows here: " << GetParam().wineDiffers;
    }
    WriteFileBytes(File(), GetParam().before);
    EXPECT_EQ(platform->ReadProfileValue("SYS", "Control Mode", kDefault, File()), GetParam().read);
    EXPECT_TRUE(platform->WriteProfileValue("SYS", "Control Mode", "1", File()));
    EXPECT_EQ(ReadFileBytes(File()), GetParam().after);
}

const std::string kLong(130, '7');
const char* const kWineEndsEveryLineWithCrLf = "Wine rewrites the whole file and ends every line with CR LF";
const char* const kWineEndsTheNameAtTheLastBracket = "Wine ends a section name at the line's last ']'";

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
        ProfileCase{"ARewrittenLastLineGetsALineEnd", "[SYS]\r\nControl Mode=0", "0",
                    "[SYS]\r\nControl Mode=1\r\n"},
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
        ProfileCase{"ALoneCarriageReturnEndsALine", "[SYS]\rControl Mode=6", "6", "[SYS]\rControl Mode=1\r\n",
                    kWineEndsEveryLineWithCrLf},
        ProfileCase{"TheLineAfterALoneCarriageReturnStays", "[SYS]\r\nControl Mode=6\rUser=x\r\n", "6",
                    "[SYS]\r\nControl Mode=1\rUser=x\r\n", kWineEndsEveryLineWithCrLf},
        ProfileCase{"AddedAfterALastLoneCarriageReturn", "[SYS]\r\nUser=x\r", kDefault,
                    "[SYS]\r\nUser=x\rControl Mode=1\r\n", kWineEndsEveryLineWithCrLf},
        ProfileCase{"ACarriageReturnBeforeCrLfEndsTheLineBeforeIt", "[SYS]\r\nControl Mode=2\r\r\n", "2",
                    "[SYS]\r\nControl Mode=1\r\r\n", kWineEndsEveryLineWithCrLf},
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
        ProfileCase{"AHeaderWithoutClosingBracketNamesItsSection", "[SYS\r\nControl Mode=3\r\n", "3",
                    "[SYS\r\nControl Mode=1\r\n",
                    "Wine takes a line without a closing bracket for no header"},
        ProfileCase{"TheNameEndsAtTheFirstClosingBracket", "[SYS]]\r\nControl Mode=3\r\n", "3",
                    "[SYS]]\r\nControl Mode=1\r\n", kWineEndsTheNameAtTheLastBracket},
        ProfileCase{"TextAfterTheClosingBracketIsIgnored", "[SYS] ;x]\r\nControl Mode=3\r\n", "3",
                    "[SYS] ;x]\r\nControl Mode=1\r\n", kWineEndsTheNameAtTheLastBracket},
        ProfileCase{"ADoubledOpeningBracketIsPartOfTheName", "[[SYS]\r\nControl Mode=3\r\n", kDefault,
                    "[[SYS]\r\nControl Mode=3\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"AKeyBeforeAnySectionIsNotInIt", "Control Mode=5\r\n[SYS]\r\n", kDefault,
                    "Control Mode=5\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"TextBeforeTheFirstSectionStays", "junk\r\n[SYS]\r\nControl Mode=2\r\n", "2",
                    "junk\r\n[SYS]\r\nControl Mode=1\r\n"},
        ProfileCase{"Utf16Replaced", Utf16Le(u"[SYS]\r\nControl Mode=2\r\n"), "2",
                    Utf16Le(u"[SYS]\r\nControl Mode=1\r\n")},
        ProfileCase{"Utf16ValueReadAsUtf8", Utf16Le(u"[SYS]\r\nControl Mode=\u00E9\U0001F600\r\n"),
                    "\u00E9\U0001F600", Utf16Le(u"[SYS]\r\nControl Mode=1\r\n")},
        ProfileCase{"Utf16AddedAfterTheLastEntry", Utf16Le(u"[SYS]\r\nUser=\u00E9\r\n"), kDefault,
                    Utf16Le(u"[SYS]\r\nUser=\u00E9\r\nControl Mode=1\r\n")},
        ProfileCase{"Utf16SectionAppended", Utf16Le(u"[Other]\r\nA=1"), kDefault,
                    Utf16Le(u"[Other]\r\nA=1\r\n[SYS]\r\nControl Mode=1\r\n")},
        ProfileCase{"Utf16OnlyTheByteOrderMark", Utf16Le(u""), kDefault,
                    Utf16Le(u"[SYS]\r\nControl Mode=1\r\n")},
        // Half a character cannot be kept in its place once a line is added before it.
        ProfileCase{"Utf16OddLastByteDropped", Utf16Le(u"[SYS]\r\nControl Mode=2\r\n") + "A", "2",
                    Utf16Le(u"[SYS]\r\nControl Mode=1\r\n"),
                    "Wine reads a byte past the end and writes a character made of it"}),
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
