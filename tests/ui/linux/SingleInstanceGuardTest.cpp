#include "ui/SingleInstanceGuard.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class RuntimeDirectory : public testing::Test {
protected:
    RuntimeDirectory() {
        if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) {
            m_previous = previous;
        }
        ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    }
    ~RuntimeDirectory() override {
        if (m_previous) {
            ::setenv("XDG_RUNTIME_DIR", m_previous->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

    TempDirectory dir;

private:
    std::optional<std::string> m_previous;
};

TEST_F(RuntimeDirectory, TheFirstHolderWinsUntilItLetsGo) {
    auto first = std::make_unique<SingleInstanceGuard>("Zephyrine");
    EXPECT_TRUE(first->IsFirstInstance());
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "Zephyrine.lock"));
    EXPECT_FALSE(SingleInstanceGuard("Zephyrine").IsFirstInstance());
    EXPECT_TRUE(SingleInstanceGuard("Other").IsFirstInstance());

    first.reset();
    EXPECT_TRUE(SingleInstanceGuard("Zephyrine").IsFirstInstance());
}

// The cli asks whether the window runs; asking makes no lock file, and neither takes the lock from a holder
// nor keeps it from a copy that starts afterwards.
TEST_F(RuntimeDirectory, AskingWhetherTheLockIsHeldLeavesItAsItIs) {
    EXPECT_FALSE(SingleInstanceGuard::IsHeld("Zephyrine"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Zephyrine.lock"));

    auto window = std::make_unique<SingleInstanceGuard>("Zephyrine");
    ASSERT_TRUE(window->IsFirstInstance());
    EXPECT_TRUE(SingleInstanceGuard::IsHeld("Zephyrine"));
    EXPECT_FALSE(SingleInstanceGuard::IsHeld("Other"));
    EXPECT_FALSE(SingleInstanceGuard("Zephyrine").IsFirstInstance());

    window.reset();
    EXPECT_FALSE(SingleInstanceGuard::IsHeld("Zephyrine"));
    EXPECT_TRUE(SingleInstanceGuard("Zephyrine").IsFirstInstance());
}

TEST_F(RuntimeDirectory, TheLockOfAProcessThatDiesIsReleasedByTheSystem) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const SingleInstanceGuard held("Zephyrine");
        const char state = held.IsFirstInstance() ? '1' : '0';
        (void)!::write(ready[1], &state, 1);
        ::pause();
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, '1');
    EXPECT_FALSE(SingleInstanceGuard("Zephyrine").IsFirstInstance());

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(SingleInstanceGuard("Zephyrine").IsFirstInstance());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(RuntimeDirectory, WithoutARuntimeDirectoryUsesAPrivateOneOfTheUser) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const SingleInstanceGuard first("ZephyrineGuardTest");
    const SingleInstanceGuard second("ZephyrineGuardTest");
    EXPECT_TRUE(first.IsFirstInstance());
    EXPECT_FALSE(second.IsFirstInstance());

    const std::string fallback = "/tmp/zephyrine-" + std::to_string(::getuid());
    struct stat status {};
    ASSERT_EQ(::stat(fallback.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    std::filesystem::remove(fallback + "/ZephyrineGuardTest.lock");
}

} // namespace
