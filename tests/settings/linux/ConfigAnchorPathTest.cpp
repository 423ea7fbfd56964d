#include "settings/linux/LinuxSettingsPlatform.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

const char* const kFile = "HalcyraConfig@Ostrel.ini";

class ConfigAnchorPathTest : public testing::Test {
protected:
    ConfigAnchorPathTest() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
    }
    ~ConfigAnchorPathTest() override {
        if (m_saved) {
            ::setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }

    TempDirectory home;
    TempDirectory install;

private:
    std::optional<std::string> m_saved;
};

TEST_F(ConfigAnchorPathTest, BesideTheExecutableWhenItsDirectoryIsWritable) {
    const std::string exe = (install.Path() / "Zephyrine").string();
    EXPECT_EQ(LinuxSettingsPlatform::ConfigAnchorPath(exe, kFile), exe);
}

TEST_F(ConfigAnchorPathTest, InTheUsersConfigurationWhenTheDirectoryCannotHoldTheFile) {
    const std::string exe = (install.Path() / "missing" / "Zephyrine").string();
    const auto anchor = LinuxSettingsPlatform::ConfigAnchorPath(exe, kFile);
    EXPECT_EQ(anchor, (home.Path() / "config" / "zephyrine" / "Zephyrine").string());
    EXPECT_TRUE(std::filesystem::is_directory(home.Path() / "config" / "zephyrine"));

    // The whole load and save then works there.
    LinuxSettingsPlatform platform(anchor);
    const std::string path = (home.Path() / "config" / "zephyrine" / kFile).string();
    ASSERT_TRUE(platform.CreateNewFile(path));
    EXPECT_TRUE(platform.WriteProfileValue("SYS", "Control Mode", "1", path));
    EXPECT_EQ(platform.ReadProfileValue("SYS", "Control Mode", "", path), "1");
}

} // namespace
