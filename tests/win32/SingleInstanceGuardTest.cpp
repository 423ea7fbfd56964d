#include "ui/SingleInstanceGuard.h"

#include "common/win32/ModuleFileName.h"
#include "common/win32/Utf16.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// A name of this test run alone, so that a running copy of the program is neither disturbed nor seen.
std::string UniqueName(const char* purpose) {
    return std::string("Zephyrine-test-") + purpose + "-" + std::to_string(GetCurrentProcessId());
}

// Runs the probe that lies beside this executable and returns its exit code: 0 first instance, 1 not.
DWORD RunProbe(const std::string& name) {
    std::string probe = CurrentModuleFileName();
    probe = probe.substr(0, probe.rfind('\\') + 1) + "zephyrine_mutex_probe.exe";
    std::wstring commandLine = Utf8ToUtf16("\"" + probe + "\" " + name);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << probe << ", error " << GetLastError();
        return 99;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

TEST(SingleInstanceGuard, TheFirstHolderIsTheFirstInstance) {
    const SingleInstanceGuard guard(UniqueName("first"));
    EXPECT_TRUE(guard.IsFirstInstance());
}

TEST(SingleInstanceGuard, ASecondProcessFindsTheLockHeld) {
    const std::string name = UniqueName("held");
    const SingleInstanceGuard guard(name);
    ASSERT_TRUE(guard.IsFirstInstance());
    EXPECT_EQ(RunProbe(name), 1u);
}

// The cli asks whether the window runs; asking neither makes the mutex nor keeps a copy from starting.
TEST(SingleInstanceGuard, AskingWhetherTheLockIsHeldLeavesItAsItIs) {
    const std::string name = UniqueName("asked");
    EXPECT_FALSE(SingleInstanceGuard::IsHeld(name));
    EXPECT_EQ(RunProbe(name), 0u);
    {
        const SingleInstanceGuard window(name);
        ASSERT_TRUE(window.IsFirstInstance());
        EXPECT_TRUE(SingleInstanceGuard::IsHeld(name));
        EXPECT_EQ(RunProbe(name), 1u);
    }
    EXPECT_FALSE(SingleInstanceGuard::IsHeld(name));
}

TEST(SingleInstanceGuard, ALockNobodyHoldsLetsTheProcessStart) {
    EXPECT_EQ(RunProbe(UniqueName("free")), 0u);
}

TEST(SingleInstanceGuard, TheLockIsFreeAgainOnceItsHolderHasGone) {
    const std::string name = UniqueName("released");
    { const SingleInstanceGuard guard(name); }
    EXPECT_EQ(RunProbe(name), 0u);
    // The probe's own lock ended with its process.
    EXPECT_EQ(RunProbe(name), 0u);
}

TEST(SingleInstanceGuard, ASecondGuardInTheSameProcessIsNotFirst) {
    const std::string name = UniqueName("same-process");
    const SingleInstanceGuard first(name);
    const SingleInstanceGuard second(name);
    EXPECT_TRUE(first.IsFirstInstance());
    EXPECT_FALSE(second.IsFirstInstance());
}

} // namespace
