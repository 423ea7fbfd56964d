#include "settings/linux/LinuxSettingsPlatform.h"

#include "support/CaseName.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

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

    std::string UserAnchor() const { return (home.Path() / "config" / "zephyrine" / "Zephyrine").string(); }

    TempDirectory home;
    TempDirectory install;

private:
    std::optional<std::string> m_saved;
};

struct AnchorCase {
    const char* name;
    // Sets up the install directory and gives the executable's path.
    fs::path (*executable)(const fs::path& install);
    bool beside; // else in the user's configuration
};

class ConfigAnchorPathTable : public ConfigAnchorPathTest, public testing::WithParamInterface<AnchorCase> {};

// The mode bits decide for root too, so these cases hold whoever runs them.
TEST_P(ConfigAnchorPathTable, BesideTheExecutableOnlyWhereThisUserMayWriteTheFile) {
    const std::string exe = GetParam().executable(install.Path()).string();
    EXPECT_EQ(LinuxSettingsPlatform::ConfigAnchorPath(exe, kFile), GetParam().beside ? exe : UserAnchor());
}

void Chmod(const fs::path& path, mode_t mode) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ConfigAnchorPathTable,
    testing::Values(AnchorCase{"AWritableDirectory", [](const fs::path& dir) { return dir / "Zephyrine"; },
                               true},
                    AnchorCase{"AWritableFile",
                               [](const fs::path& dir) {
                                   WriteFileBytes(dir / kFile, "");
                                   Chmod(dir, 0555);
                                   return dir / "Zephyrine";
                               },
                               true},
                    AnchorCase{"AReadOnlyFile",
                               [](const fs::path& dir) {
                                   WriteFileBytes(dir / kFile, "");
                                   Chmod(dir / kFile, 0444);
                                   return dir / "Zephyrine";
                               },
                               false},
                    AnchorCase{"AReadOnlyDirectory",
                               [](const fs::path& dir) {
                                   Chmod(dir, 0555);
                                   return dir / "Zephyrine";
                               },
                               false},
                    AnchorCase{"ADirectoryWhereTheFileShouldBe",
                               [](const fs::path& dir) {
                                   fs::create_directory(dir / kFile);
                                   return dir / "Zephyrine";
                               },
                               false},
                    AnchorCase{"AMissingDirectory",
                               [](const fs::path& dir) { return dir / "missing" / "Zephyrine"; }, false},
                    AnchorCase{"TheSystemBinDirectory",
                               [](const fs::path&) { return fs::path("/usr/bin/Zephyrine"); }, false},
                    AnchorCase{"TheLocalBinDirectory",
                               [](const fs::path&) { return fs::path("/usr/local/bin/Zephyrine"); }, false},
                    AnchorCase{"ALinkToTheSystemBinDirectory",
                               [](const fs::path& dir) {
                                   fs::create_directory_symlink("/usr/bin", dir / "bin");
                                   return dir / "bin" / "Zephyrine";
                               },
                               false},
                    AnchorCase{"ALinkToAWritableDirectory",
                               [](const fs::path& dir) {
                                   fs::create_directory(dir / "real");
                                   fs::create_directory_symlink(dir / "real", dir / "bin");
                                   return dir / "bin" / "Zephyrine";
                               },
                               true}),
    CaseName());

TEST_F(ConfigAnchorPathTest, TheUsersConfigurationDirectoryIsMadeAndHoldsTheFile) {
    const auto anchor =
        LinuxSettingsPlatform::ConfigAnchorPath((install.Path() / "missing" / "Zephyrine").string(), kFile);
    ASSERT_EQ(anchor, UserAnchor());
    struct stat info {};
    ASSERT_EQ(::stat((home.Path() / "config" / "zephyrine").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // The whole load and save then works there.
    LinuxSettingsPlatform platform(anchor);
    const std::string path = (home.Path() / "config" / "zephyrine" / kFile).string();
    ASSERT_TRUE(platform.CreateNewFile(path));
    EXPECT_TRUE(platform.WriteProfileValue("SYS", "Control Mode", "1", path));
    EXPECT_EQ(platform.ReadProfileValue("SYS", "Control Mode", "", path), "1");
}

} // namespace
