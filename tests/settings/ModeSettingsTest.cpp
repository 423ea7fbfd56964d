#include "settings/ModeSettings.h"

#include "protocol/PollCycle.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"

#include <gtest/gtest.h>

// These cases run against this platform's real file and profile functions, so the Linux INI code and the
// Windows profile functions answer the same table.
namespace {

const char* const kFile = "HalcyraConfig@Ostrel.ini";

class ModeSettingsTest : public testing::Test {
protected:
    ModeSettingsTest() { poll.ResetForStartup(); }

    std::filesystem::path ConfigFile() const { return directory.Path() / kFile; }
    void GiveFile(const std::string& bytes) { WriteFileBytes(ConfigFile(), bytes); }
    std::string FileBytes() const { return ReadFileBytes(ConfigFile()); }

    // One run of the program: start-up load, then whatever the user does, then the save at exit.
    template <typename During> void Run(During during) {
        PollCycle runPoll;
        runPoll.ResetForStartup();
        ModeSettings run(*platform);
        run.LoadConfig(runPoll);
        during(runPoll);
        run.SaveConfig(runPoll);
    }

    TempDirectory directory;
    std::unique_ptr<SettingsPlatform> platform =
        MakeTestSettingsPlatform((directory.Path() / "Zephyrine").string());
    ModeSettings settings{*platform};
    PollCycle poll;
};

TEST_F(ModeSettingsTest, FirstStartCreatesTheFileWithEco) {
    settings.LoadConfig(poll);
    EXPECT_EQ(FileBytes(), "[SYS]\r\nControl Mode=0\r\n");
    EXPECT_EQ(settings.ConfigPath(), ConfigFile().string());
    EXPECT_EQ(poll.ControlMode, 0);
    EXPECT_EQ(poll.PollState, 0);
}

struct ValueCase {
    const char* fileBytes;
    std::int32_t mode;
    std::int32_t pollState;
};

class ModeValues : public ModeSettingsTest, public testing::WithParamInterface<ValueCase> {};

TEST_P(ModeValues, ReadsTheValueAsAtoiDoes) {
    GiveFile(GetParam().fileBytes);
    settings.LoadConfig(poll);
    EXPECT_EQ(poll.ControlMode, GetParam().mode);
    EXPECT_EQ(poll.PollState, GetParam().pollState);
    EXPECT_EQ(FileBytes(), GetParam().fileBytes) << "loading an existing file must not write it";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ModeValues,
    testing::Values(
        ValueCase{"[SYS]\r\nControl Mode=1\r\n", 1, 4}, ValueCase{"[SYS]\r\nControl Mode=0\r\n", 0, 0},
        ValueCase{"[SYS]\r\nControl Mode=1x\r\n", 1, 4}, ValueCase{"[SYS]\r\nControl Mode=x1\r\n", 0, 0},
        ValueCase{"[SYS]\r\nControl Mode=10\r\n", 10, 0}, ValueCase{"[SYS]\r\nControl Mode=-1\r\n", -1, 0},
        ValueCase{"[SYS]\r\nControl Mode=\r\n", 0, 0}, ValueCase{"[SYS]\r\nControl Mode = 1 \r\n", 1, 4},
        ValueCase{"[sys]\r\ncontrol mode=1\r\n", 1, 4}, ValueCase{"[SYS]\r\nOther=1\r\n", 0, 0},
        ValueCase{"[Other]\r\nControl Mode=1\r\n", 0, 0}, ValueCase{"", 0, 0}));

TEST_F(ModeSettingsTest, AValueOtherThanZeroOrOneIsWrittenBackUnchanged) {
    for (const char* value : {"10", "-1"}) {
        GiveFile(std::string("[SYS]\r\nControl Mode=") + value + "\r\n");
        Run([](PollCycle&) {});
        EXPECT_EQ(FileBytes(), std::string("[SYS]\r\nControl Mode=") + value + "\r\n");
    }
}

TEST_F(ModeSettingsTest, TheModeOfARunIsReadByTheNextStart) {
    Run([this](PollCycle& p) {
        EXPECT_EQ(FileBytes(), "[SYS]\r\nControl Mode=0\r\n");
        EXPECT_EQ(p.ControlMode, 0);
        p.SelectTempControl();
    });
    EXPECT_EQ(FileBytes(), "[SYS]\r\nControl Mode=1\r\n");
    Run([](PollCycle& p) {
        EXPECT_EQ(p.ControlMode, 1);
        EXPECT_EQ(p.PollState, 4);
    });
}

TEST_F(ModeSettingsTest, OtherLinesSectionsAndLineEndsSurviveASave) {
    GiveFile("[Other]\r\nA=1\r\n[SYS]\r\nUser=x\r\nControl Mode=0\r\nTail=2\r\n[Last]\r\nB=3\r\n");
    Run([](PollCycle& p) { p.SelectTempControl(); });
    EXPECT_EQ(FileBytes(),
              "[Other]\r\nA=1\r\n[SYS]\r\nUser=x\r\nControl Mode=1\r\nTail=2\r\n[Last]\r\nB=3\r\n");
}

TEST_F(ModeSettingsTest, BlankLinesSurviveASave) {
    GiveFile("[Other]\r\nA=1\r\n\r\n[SYS]\r\nControl Mode=0\r\n");
    Run([](PollCycle& p) { p.SelectTempControl(); });
    EXPECT_EQ(FileBytes(), "[Other]\r\nA=1\r\n\r\n[SYS]\r\nControl Mode=1\r\n");
}

TEST_F(ModeSettingsTest, AMissingKeyIsAddedToItsSection) {
    GiveFile("[SYS]\r\nUser=x\r\n[Last]\r\nB=3\r\n");
    Run([](PollCycle& p) { p.SelectTempControl(); });
    EXPECT_EQ(FileBytes(), "[SYS]\r\nUser=x\r\nControl Mode=1\r\n[Last]\r\nB=3\r\n");
}

TEST_F(ModeSettingsTest, AReadOnlyFileKeepsItsValue) {
    GiveFile("[SYS]\r\nControl Mode=1\r\n");
    std::filesystem::permissions(ConfigFile(),
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    Run([](PollCycle& p) {
        EXPECT_EQ(p.ControlMode, 1);
        p.SelectEco();
    });
    EXPECT_EQ(FileBytes(), "[SYS]\r\nControl Mode=1\r\n");
}

TEST_F(ModeSettingsTest, AFileThatCannotBeCreatedIsNeitherReadNorWritten) {
    auto elsewhere = MakeTestSettingsPlatform((directory.Path() / "missing" / "Zephyrine").string());
    ModeSettings unplaced(*elsewhere);
    unplaced.LoadConfig(poll);
    EXPECT_TRUE(unplaced.ConfigPath().empty());
    EXPECT_EQ(poll.ControlMode, 0);
    poll.SelectTempControl();
    unplaced.SaveConfig(poll);
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "missing"));
}

// What the cli does beside the window: it looks at the kept mode without making a file, and keeps a mode it
// was told to set for the window's next start.
TEST_F(ModeSettingsTest, LookingAtTheKeptModeNeverMakesTheFile) {
    EXPECT_EQ(settings.KeptMode(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
    GiveFile("[SYS]\r\nControl Mode=1\r\n");
    EXPECT_EQ(settings.KeptMode(), 1);
    EXPECT_EQ(FileBytes(), "[SYS]\r\nControl Mode=1\r\n");
}

TEST_F(ModeSettingsTest, AKeptModeIsWhereTheWindowsNextStartReadsIt) {
    GiveFile("[SYS]\r\nUser=x\r\nControl Mode=0\r\n");
    EXPECT_TRUE(settings.KeepMode(1));
    EXPECT_EQ(FileBytes(), "[SYS]\r\nUser=x\r\nControl Mode=1\r\n");
    Run([](PollCycle& p) { EXPECT_EQ(p.ControlMode, 1); });
}

} // namespace
