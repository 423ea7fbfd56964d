#include "settings/linux/LinuxSettingsPlatform.h"

#include "protocol/CommandFrame.h"
#include "protocol/PollCycle.h"
#include "settings/ModeSettings.h"
#include "support/CaseName.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const kFile = "HalcyraConfig@Ostrel.ini";
const std::string kBefore = "; mine\r\n[SYS]\r\nControl Mode=2\r\n";
const std::string kAfter = "; mine\r\n[SYS]\r\nControl Mode=1\r\n";

class LinuxSettingsPlatformTest : public testing::Test {
protected:
    fs::path File() const { return directory.Path() / kFile; }
    bool Save(const fs::path& path) { return platform.WriteProfileValue("SYS", "Control Mode", "1", path); }

    TempDirectory directory;
    std::ostringstream warnings;
    LinuxSettingsPlatform platform{(directory.Path() / "Zephyrine").string(), warnings};
};

struct stat StatOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// What is at the path and how it reads before anything was tried, to compare with afterwards.
std::string Describe(const fs::path& path) {
    const struct stat info = StatOf(path);
    return std::to_string(info.st_mode) + " " + std::to_string(info.st_ino) + " " +
           std::to_string(info.st_size);
}

struct RefusedCase {
    const char* name;
    void (*make)(const fs::path& path);
    const char* reason;
};

class RefusedFiles : public LinuxSettingsPlatformTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFiles, AreNeitherReadNorWrittenAndTheReasonIsSaidOnce) {
    GetParam().make(File());
    const std::string before = Describe(File());

    PollCycle poll;
    poll.ResetForStartup();
    poll.ControlMode = TempControl;
    ModeSettings settings(platform);
    settings.LoadConfig(poll);
    EXPECT_EQ(poll.ControlMode, Eco);
    poll.ControlMode = TempControl;
    settings.SaveConfig(poll);

    EXPECT_EQ(warnings.str(), "Zephyrine: not reading the configuration file " + File().string() + ": " +
                                  GetParam().reason + "\n");
    EXPECT_EQ(Describe(File()), before);
    EXPECT_EQ(EntriesIn(directory.Path()), 1u) << "nothing was created beside it";
}

INSTANTIATE_TEST_SUITE_P(
    NotARegularFileOfSaneSize, RefusedFiles,
    testing::Values(
        RefusedCase{"Fifo", [](const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); },
                    "it is a FIFO, not a regular file"},
        RefusedCase{"LinkToDevZero", [](const fs::path& path) { fs::create_symlink("/dev/zero", path); },
                    "it is a character device, not a regular file"},
        RefusedCase{"Directory", [](const fs::path& path) { fs::create_directory(path); },
                    "it is a directory, not a regular file"},
        RefusedCase{"OverOneMebibyte",
                    [](const fs::path& path) {
                        WriteFileBytes(path, kBefore + std::string((1 << 20) - kBefore.size() + 1, ';'));
                    },
                    "it is larger than 1 MiB"}),
    CaseName());

TEST_F(LinuxSettingsPlatformTest, AFileOfOneMebibyteIsReadAndWritten) {
    WriteFileBytes(File(), kBefore + std::string((1 << 20) - kBefore.size(), ';'));

    EXPECT_EQ(platform.ReadProfileValue("SYS", "Control Mode", "", File()), "2");
    EXPECT_TRUE(Save(File()));
    EXPECT_EQ(platform.ReadProfileValue("SYS", "Control Mode", "", File()), "1");
    EXPECT_EQ(warnings.str(), "");
}

TEST_F(LinuxSettingsPlatformTest, ALinkStaysALinkAndTheFileItLeadsToGetsTheValue) {
    fs::create_directories(directory.Path() / "real");
    const fs::path target = directory.Path() / "real" / "shared.ini";
    WriteFileBytes(target, kBefore);
    fs::create_symlink(fs::path("real") / "shared.ini", File());

    ASSERT_TRUE(Save(File()));

    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(fs::read_symlink(File()), fs::path("real") / "shared.ini");
    EXPECT_EQ(ReadFileBytes(target), kAfter);
    EXPECT_EQ(EntriesIn(directory.Path() / "real"), 1u) << "no temporary file is left beside the target";
    EXPECT_EQ(EntriesIn(directory.Path()), 2u);
}

TEST_F(LinuxSettingsPlatformTest, ALinkThatLeadsNowhereIsLeftAlone) {
    fs::create_symlink("nowhere.ini", File());

    EXPECT_FALSE(Save(File()));

    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_FALSE(fs::exists(directory.Path() / "nowhere.ini"));
}

TEST_F(LinuxSettingsPlatformTest, TheModeIsKept) {
    WriteFileBytes(File(), kBefore);
    ASSERT_EQ(::chmod(File().c_str(), 0604), 0);

    ASSERT_TRUE(Save(File()));

    EXPECT_EQ(ReadFileBytes(File()), kAfter);
    EXPECT_EQ(StatOf(File()).st_mode & 07777, 0604u);
}

TEST_F(LinuxSettingsPlatformTest, TheOwnerAndGroupAreKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    WriteFileBytes(File(), kBefore);
    ASSERT_EQ(::chown(File().c_str(), 12345, 23456), 0);

    ASSERT_TRUE(Save(File()));

    EXPECT_EQ(ReadFileBytes(File()), kAfter);
    EXPECT_EQ(StatOf(File()).st_uid, 12345u);
    EXPECT_EQ(StatOf(File()).st_gid, 23456u);
}

// An access ACL as the kernel stores it: version 2, then (tag, permissions, id) entries in tag order.
std::string AclGivingUserReadWrite(std::uint32_t uid) {
    struct Entry {
        std::uint16_t tag;
        std::uint16_t permissions;
        std::uint32_t id;
    };
    const std::uint32_t kUndefined = 0xFFFFFFFF;
    const Entry entries[] = {{0x01, 6, kUndefined},
                             {0x02, 6, uid},
                             {0x04, 4, kUndefined},
                             {0x10, 6, kUndefined},
                             {0x20, 4, kUndefined}};
    std::string bytes(4, '\0');
    bytes[0] = 2;
    for (const Entry& entry : entries) {
        bytes.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    }
    return bytes;
}

std::string Attribute(const fs::path& path, const char* name) {
    char value[256];
    const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? std::string() : std::string(value, static_cast<std::size_t>(size));
}

bool SetAttribute(const fs::path& path, const char* name, const std::string& value) {
    return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

TEST_F(LinuxSettingsPlatformTest, TheAclAndTheOtherExtendedAttributesAreKept) {
    WriteFileBytes(File(), kBefore);
    const std::string acl = AclGivingUserReadWrite(12345);
    if (!SetAttribute(File(), "system.posix_acl_access", acl) ||
        !SetAttribute(File(), "user.note", "shared")) {
        GTEST_SKIP() << "the temporary folder's file system keeps no ACL or user attributes: "
                     << std::strerror(errno);
    }
    const mode_t mode = StatOf(File()).st_mode;

    ASSERT_TRUE(Save(File()));

    EXPECT_EQ(ReadFileBytes(File()), kAfter);
    EXPECT_EQ(Attribute(File(), "system.posix_acl_access"), acl);
    EXPECT_EQ(Attribute(File(), "user.note"), "shared");
    EXPECT_EQ(StatOf(File()).st_mode, mode);
}

TEST_F(LinuxSettingsPlatformTest, TheDirectorysDefaultAclIsNotAddedToAFileThatHadNone) {
    WriteFileBytes(File(), kBefore);
    if (!SetAttribute(directory.Path(), "system.posix_acl_default", AclGivingUserReadWrite(12345))) {
        GTEST_SKIP() << "the temporary folder's file system keeps no ACL: " << std::strerror(errno);
    }
    const mode_t mode = StatOf(File()).st_mode;

    ASSERT_TRUE(Save(File()));

    EXPECT_EQ(ReadFileBytes(File()), kAfter);
    EXPECT_EQ(Attribute(File(), "system.posix_acl_access"), "");
    EXPECT_EQ(StatOf(File()).st_mode, mode);
}

// Runs save as nobody in a child process.
bool AsNobody(const std::function<bool()>& save) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
                             ::setresuid(65534, 65534, 65534) == 0;
        ::_exit(dropped && save() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// A file this user may write but not replace keeps its place, owner and mode, whatever length the new
// content has.
class InPlaceTest : public LinuxSettingsPlatformTest {
protected:
    void ExpectRewrittenInPlace(const std::function<bool()>& saveAsThatUser) {
        const std::pair<std::string, std::string> sameLongerShorter[] = {
            {kBefore, kAfter},
            {"[SYS]\r\n", "[SYS]\r\nControl Mode=1\r\n"},
            {"[SYS]\r\nControl Mode=123\r\nX=1\r\n", "[SYS]\r\nControl Mode=1\r\nX=1\r\n"}};
        for (const auto& [before, after] : sameLongerShorter) {
            SCOPED_TRACE(before);
            WriteFileBytes(File(), before);
            ASSERT_EQ(::chmod(File().c_str(), 0666), 0);
            const struct stat old = StatOf(File());

            EXPECT_TRUE(saveAsThatUser());

            const struct stat now = StatOf(File());
            EXPECT_EQ(ReadFileBytes(File()), after);
            EXPECT_EQ(now.st_ino, old.st_ino) << "the same file";
            EXPECT_EQ(now.st_uid, old.st_uid);
            EXPECT_EQ(now.st_gid, old.st_gid);
            EXPECT_EQ(now.st_mode, old.st_mode);
            EXPECT_EQ(EntriesIn(directory.Path()), 1u);
        }
    }
};

TEST_F(InPlaceTest, InADirectoryThisUserMayNotWrite) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(directory.Path().c_str(), 0755), 0);
        ExpectRewrittenInPlace([this] { return AsNobody([this] { return Save(File()); }); });
    } else {
        ASSERT_EQ(::chmod(directory.Path().c_str(), 0555), 0);
        ExpectRewrittenInPlace([this] { return Save(File()); });
    }
}

// A replacement would belong to this user, and the owner could then no longer write the file.
TEST_F(InPlaceTest, OwnedByAnotherUserInADirectoryThisUserMayWrite) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a file that another user owns";
    }
    ASSERT_EQ(::chmod(directory.Path().c_str(), 0777), 0);
    ExpectRewrittenInPlace([this] { return AsNobody([this] { return Save(File()); }); });
}

} // namespace
