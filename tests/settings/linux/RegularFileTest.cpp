#include "settings/linux/RegularFile.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A file may not grow past its size, as on a full disk: the write fails (EFBIG) instead of the signal.
bool RewriteWithoutRoomToGrow(int fd, const std::string& old, const std::string& replacement) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(old.size()), static_cast<rlim_t>(old.size())};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 && RewriteInPlace(fd, old, replacement) ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST(RewriteInPlace, ANewEndThatDoesNotFitChangesNothing) {
    TempDirectory directory;
    const auto path = directory.Path() / "f.ini";
    const std::string old = "[SYS]\r\nX=1\r\n";
    WriteFileBytes(path, old);
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_GE(file.get(), 0);

    EXPECT_FALSE(RewriteWithoutRoomToGrow(file.get(), old, "[SYS]\r\nX=2\r\nControl Mode=1\r\n"));
    EXPECT_EQ(ReadFileBytes(path), old);

    EXPECT_TRUE(RewriteWithoutRoomToGrow(file.get(), old, "[SYS]\r\nX=2\r\n"));
    EXPECT_EQ(ReadFileBytes(path), "[SYS]\r\nX=2\r\n");
}

} // namespace
