#include "settings/CCSysControl.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts back what was there before.
class ScopedVariable {
public:
    explicit ScopedVariable(const char* name) : m_name(name) {
        if (const char* value = std::getenv(name)) {
            m_saved = value;
        }
    }
    ~ScopedVariable() {
        if (m_saved) {
            ::setenv(m_name, m_saved->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void Set(const std::string& value) { ::setenv(m_name, value.c_str(), 1); }
    void Unset() { ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_saved;
};

// What a session does with an Exec value: the string escapes first, then the quoting, then the %% of the
// field codes. Written from the rules, not from the code under test, so that a table entry cannot agree
// with a wrong encoder by accident.
std::string DecodeExec(const std::string& value) {
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            unescaped += next == 'n'   ? '\n'
                         : next == 't' ? '\t'
                         : next == 'r' ? '\r'
                         : next == 's' ? ' '
                                       : next;
        } else {
            unescaped += value[i];
        }
    }
    std::string argument;
    const bool quoted = unescaped.size() >= 2 && unescaped.front() == '"' && unescaped.back() == '"';
    const std::string body = quoted ? unescaped.substr(1, unescaped.size() - 2) : unescaped;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (quoted && body[i] == '\\' && i + 1 < body.size()) {
            argument += body[++i];
        } else if (body[i] == '%' && i + 1 < body.size() && body[i + 1] == '%') {
            argument += body[++i];
        } else {
            argument += body[i];
        }
    }
    return argument;
}

std::string EntryFor(const std::string& exec, const std::string& path = "/opt/zephyrine/bin",
                     const std::string& userChoice = "") {
    return "[Desktop Entry]\nType=Application\nName=Zephyrine\nExec=" + exec + "\nPath=" + path +
           "\nIcon=zephyrine\n" + userChoice;
}

class CCSysControlTest : public testing::Test {
protected:
    CCSysControlTest() { configHome.Set(ConfigHome().string()); }

    fs::path ConfigHome() const { return directory.Path() / "config"; }
    fs::path Autostart() const { return ConfigHome() / "autostart"; }
    fs::path Entry() const { return Autostart() / "Zephyrine.desktop"; }

    TempDirectory directory;
    ScopedVariable configHome{"XDG_CONFIG_HOME"};
    ScopedVariable home{"HOME"};
    CCSysControl control;
};

TEST_F(CCSysControlTest, WritesTheEntryAndCreatesTheMissingDirectories) {
    ASSERT_FALSE(fs::exists(ConfigHome()));

    EXPECT_TRUE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor("/opt/zephyrine/bin/zephyrine"));
    struct stat info {};
    ASSERT_EQ(::stat(Autostart().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(Entry().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

struct ExecCase {
    const char* name;
    const char* path;
    const char* exec;
    const char* directory; // the Path value: the logo lies beside the executable
};

class ExecQuoting : public CCSysControlTest, public testing::WithParamInterface<ExecCase> {};

TEST_P(ExecQuoting, QuotesReservedCharactersAndDecodesBackToThePath) {
    ASSERT_TRUE(control.SetAutoRun(GetParam().path, "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor(GetParam().exec, GetParam().directory));
    EXPECT_EQ(DecodeExec(GetParam().exec), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecQuoting,
    testing::Values(
        ExecCase{"Plain", "/opt/zephyrine/bin/zephyrine", "/opt/zephyrine/bin/zephyrine",
                 "/opt/zephyrine/bin"},
        ExecCase{"Blanks", "/opt/My Apps/zephyrine", R"("/opt/My Apps/zephyrine")", "/opt/My Apps"},
        ExecCase{"DoubleQuote", R"(/opt/say "hi"/zephyrine)", R"("/opt/say \\"hi\\"/zephyrine")",
                 R"(/opt/say "hi")"},
        ExecCase{"Dollar", "/opt/$HOME/zephyrine", R"("/opt/\\$HOME/zephyrine")", "/opt/$HOME"},
        ExecCase{"Backslash", R"(/opt/a\b/zephyrine)", R"("/opt/a\\\\b/zephyrine")", R"(/opt/a\\b)"},
        ExecCase{"Backtick", "/opt/a`b/zephyrine", R"("/opt/a\\`b/zephyrine")", "/opt/a`b"},
        ExecCase{"Percent", "/opt/100%/zephyrine", "/opt/100%%/zephyrine", "/opt/100%"},
        ExecCase{"PercentAndBlank", "/opt/100 %/zephyrine", R"("/opt/100 %%/zephyrine")", "/opt/100 %"},
        ExecCase{"SingleQuote", "/opt/it's/zephyrine", R"("/opt/it's/zephyrine")", "/opt/it's"},
        ExecCase{"Tab", "/opt/a\tb/zephyrine", R"("/opt/a\tb/zephyrine")", R"(/opt/a\tb)"},
        ExecCase{"Semicolon", "/opt/a;b/zephyrine", R"("/opt/a;b/zephyrine")", "/opt/a;b"}),
    [](const testing::TestParamInfo<ExecCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(CCSysControlTest, EveryStartReplacesTheEntryWithTheCurrentPath) {
    fs::create_directories(Autostart());
    WriteFileBytes(Entry(), EntryFor("/old/place/zephyrine", "/old/place") + "Comment=old\n");

    EXPECT_TRUE(control.SetAutoRun("/new/place/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor("/new/place/zephyrine", "/new/place"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Autostart()), fs::directory_iterator()), 1)
        << "no temporary file is left beside the entry";
}

// Installed, the logo lies in the data directory, not beside the program; a build tree has it beside.
TEST_F(CCSysControlTest, AnInstalledProgramStartsWhereItsLogoIs) {
    const fs::path prefix = directory.Path() / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "zephyrine");
    WriteFileBytes(prefix / "share" / "zephyrine" / "logo.png", "png");

    EXPECT_TRUE(control.SetAutoRun((prefix / "bin" / "Zephyrine").string(), "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()),
              EntryFor((prefix / "bin" / "Zephyrine").string(), (prefix / "share" / "zephyrine").string()));
}

// The desktop's autostart switch turns the entry off in the entry itself; a start rewrites the rest.
struct UserChoiceCase {
    const char* name;
    const char* existing; // the entry's lines after its group header
    const char* kept;
};

class UserChoice : public CCSysControlTest, public testing::WithParamInterface<UserChoiceCase> {};

TEST_P(UserChoice, SurvivesTheRewriteAndNothingElseOfTheOldEntryDoes) {
    fs::create_directories(Autostart());
    WriteFileBytes(Entry(), std::string("[Desktop Entry]\n") + GetParam().existing);

    ASSERT_TRUE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()),
              EntryFor("/opt/zephyrine/bin/zephyrine", "/opt/zephyrine/bin", GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, UserChoice,
    testing::Values(
        UserChoiceCase{"Hidden", "Type=Application\nExec=/old/zephyrine\nHidden=true\n", "Hidden=true\n"},
        UserChoiceCase{"GnomeSwitch", "Exec=/old/zephyrine\nX-GNOME-Autostart-enabled=false\n",
                       "X-GNOME-Autostart-enabled=false\n"},
        UserChoiceCase{"Both", "X-GNOME-Autostart-enabled=false\nName=Zephyrine\nHidden=true\n",
                       "Hidden=true\nX-GNOME-Autostart-enabled=false\n"},
        UserChoiceCase{"SwitchedOnAgain", "X-GNOME-Autostart-enabled=true\n",
                       "X-GNOME-Autostart-enabled=true\n"},
        UserChoiceCase{"OtherKeysNotCarriedOver",
                       "Comment=old\nTerminal=true\nX-GNOME-Autostart-Delay=5\nHidden[de]=true\nIcon=other\n",
                       ""},
        UserChoiceCase{"BlanksAroundTheEqualsSignAndCrLf", "Hidden = true\r\n", "Hidden=true\n"},
        UserChoiceCase{"FirstOfARepeatedKey", "Hidden=false\nHidden=true\n", "Hidden=false\n"},
        UserChoiceCase{"CommentedOut", "#Hidden=true\n", ""},
        UserChoiceCase{"OnlyTheMainGroup", "Exec=x\n[Desktop Action Quit]\nHidden=true\n", ""}),
    [](const testing::TestParamInfo<UserChoiceCase>& testCase) { return std::string(testCase.param.name); });

// What lies at the entry's place and is no entry: nothing of it is read or kept, and the start goes on.
TEST_F(CCSysControlTest, TakesNoChoiceFromWhatIsNoRegularEntryOfSaneSize) {
    const std::vector<std::pair<std::string, std::function<void()>>> places{
        {"fifo", [&] { ASSERT_EQ(::mkfifo(Entry().c_str(), 0600), 0) << errno; }},
        {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", Entry()); }},
        {"oversized",
         [&] {
             WriteFileBytes(Entry(), "[Desktop Entry]\nHidden=true\n#" + std::string(1 << 20, 'x') + "\n");
         }},
    };
    for (const auto& [name, make] : places) {
        SCOPED_TRACE(name);
        fs::remove_all(Autostart());
        fs::create_directories(Autostart());
        make();

        EXPECT_TRUE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

        EXPECT_EQ(ReadFileBytes(Entry()), EntryFor("/opt/zephyrine/bin/zephyrine"));
    }
}

TEST_F(CCSysControlTest, WritesAnEntryTheDesktopValidatorAccepts) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    }
    fs::create_directories(Autostart());
    WriteFileBytes(Entry(), "[Desktop Entry]\nHidden=true\nX-GNOME-Autostart-enabled=false\n");
    ASSERT_TRUE(control.SetAutoRun("/opt/My Apps/100% \"sure\"/zephyrine", "Zephyrine"));

    const std::string command = "desktop-file-validate '" + Entry().string() + "' 2>&1";
    FILE* validator = ::popen(command.c_str(), "r");
    ASSERT_NE(validator, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, validator) != nullptr) {
        output += buffer;
    }
    const int status = ::pclose(validator);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    EXPECT_EQ(output, "");
}

TEST_F(CCSysControlTest, FallsBackToDotConfigWhenTheVariableIsUnsetOrRelative) {
    const fs::path dotConfigEntry = directory.Path() / "home" / ".config" / "autostart" / "Zephyrine.desktop";
    home.Set((directory.Path() / "home").string());
    for (const char* relative : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        SCOPED_TRACE(relative == nullptr ? "unset" : relative);
        if (relative == nullptr) {
            configHome.Unset();
        } else {
            configHome.Set(relative);
        }
        fs::remove_all(directory.Path() / "home");

        EXPECT_TRUE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

        EXPECT_EQ(ReadFileBytes(dotConfigEntry), EntryFor("/opt/zephyrine/bin/zephyrine"));
        EXPECT_FALSE(fs::exists("relative"));
    }
}

TEST_F(CCSysControlTest, AnUncreatablePlaceFailsSilently) {
    WriteFileBytes(ConfigHome(), "a file where the directory should be");

    EXPECT_FALSE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(ConfigHome()), "a file where the directory should be");
}

// As with the Run key, only opening the place counts; the write itself is not checked.
TEST_F(CCSysControlTest, AFailedWriteStillCountsAsRegistered) {
    fs::create_directories(Entry());

    EXPECT_TRUE(control.SetAutoRun("/opt/zephyrine/bin/zephyrine", "Zephyrine"));

    EXPECT_TRUE(fs::is_directory(Entry()));
    EXPECT_EQ(std::distance(fs::directory_iterator(Autostart()), fs::directory_iterator()), 1);
}

TEST(CCSysControlModulePath, NamesTheRunningExecutable) {
    const fs::path path = CCSysControl().GetModulePath();

    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(path.filename(), program_invocation_short_name);
}

} // namespace
