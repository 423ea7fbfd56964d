#include "settings/CCSysControl.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

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

std::string EntryFor(const std::string& exec) {
    return "[Desktop Entry]\nType=Application\nName=Zephyrine\nExec=" + exec + "\n";
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

    EXPECT_TRUE(control.SetAutoRun("/usr/bin/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor("/usr/bin/zephyrine"));
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
};

class ExecQuoting : public CCSysControlTest, public testing::WithParamInterface<ExecCase> {};

TEST_P(ExecQuoting, QuotesReservedCharactersAndDecodesBackToThePath) {
    ASSERT_TRUE(control.SetAutoRun(GetParam().path, "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor(GetParam().exec));
    EXPECT_EQ(DecodeExec(GetParam().exec), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecQuoting,
    testing::Values(ExecCase{"Plain", "/usr/bin/zephyrine", "/usr/bin/zephyrine"},
                    ExecCase{"Blanks", "/opt/My Apps/zephyrine", R"("/opt/My Apps/zephyrine")"},
                    ExecCase{"DoubleQuote", R"(/opt/say "hi"/zephyrine)", R"("/opt/say \\"hi\\"/zephyrine")"},
                    ExecCase{"Dollar", "/opt/$HOME/zephyrine", R"("/opt/\\$HOME/zephyrine")"},
                    ExecCase{"Backslash", R"(/opt/a\b/zephyrine)", R"("/opt/a\\\\b/zephyrine")"},
                    ExecCase{"Backtick", "/opt/a`b/zephyrine", R"("/opt/a\\`b/zephyrine")"},
                    ExecCase{"Percent", "/opt/100%/zephyrine", "/opt/100%%/zephyrine"},
                    ExecCase{"PercentAndBlank", "/opt/100 %/zephyrine", R"("/opt/100 %%/zephyrine")"},
                    ExecCase{"SingleQuote", "/opt/it's/zephyrine", R"("/opt/it's/zephyrine")"},
                    ExecCase{"Tab", "/opt/a\tb/zephyrine", R"("/opt/a\tb/zephyrine")"},
                    ExecCase{"Semicolon", "/opt/a;b/zephyrine", R"("/opt/a;b/zephyrine")"}),
    [](const testing::TestParamInfo<ExecCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(CCSysControlTest, EveryStartReplacesTheEntryWithTheCurrentPath) {
    fs::create_directories(Autostart());
    WriteFileBytes(Entry(), EntryFor("/old/place/zephyrine") + "Hidden=true\n");

    EXPECT_TRUE(control.SetAutoRun("/new/place/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(Entry()), EntryFor("/new/place/zephyrine"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Autostart()), fs::directory_iterator()), 1)
        << "no temporary file is left beside the entry";
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

        EXPECT_TRUE(control.SetAutoRun("/usr/bin/zephyrine", "Zephyrine"));

        EXPECT_EQ(ReadFileBytes(dotConfigEntry), EntryFor("/usr/bin/zephyrine"));
        EXPECT_FALSE(fs::exists("relative"));
    }
}

TEST_F(CCSysControlTest, AnUncreatablePlaceFailsSilently) {
    WriteFileBytes(ConfigHome(), "a file where the directory should be");

    EXPECT_FALSE(control.SetAutoRun("/usr/bin/zephyrine", "Zephyrine"));

    EXPECT_EQ(ReadFileBytes(ConfigHome()), "a file where the directory should be");
}

// As with the Run key, only opening the place counts; the write itself is not checked.
TEST_F(CCSysControlTest, AFailedWriteStillCountsAsRegistered) {
    fs::create_directories(Entry());

    EXPECT_TRUE(control.SetAutoRun("/usr/bin/zephyrine", "Zephyrine"));

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
