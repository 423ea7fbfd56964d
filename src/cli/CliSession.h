#pragma once

#include "cli/CliBackend.h"
#include "cli/CliOptions.h"
#include "cli/WindowShare.h"
#include "common/Sleeper.h"

#include <ostream>

class CCUsbHid;
class PollCycle;

// Listed in CliUsage().
enum CliExit : int {
    ExitDone = 0,
    ExitNoSupply = 1,
    ExitInvalidArguments = 2,
    ExitNoAccess = 3,
    ExitNoReply = 4,
    ExitWindowOwnsCommands = 5
};

inline constexpr const char* kNoSupplyMessage = "zephyrine-cli: no power supply found (USB HID 04D8:003F)";
inline constexpr const char* kSupplyLostMessage = "power supply lost";
inline constexpr const char* kSupplyBackMessage = "power supply back";
inline constexpr const char* kNeverRepliedMessage = "zephyrine-cli: the power supply answered no poll";
inline constexpr const char* kWindowOwnsCommandsMessage =
    "zephyrine-cli: the Zephyrine window is running and owns the supply's commands; use its buttons";

// Runs the window's poll road without the window: the poll tick writes the frame through the channel, and
// after the reading pipeline's copy delay one pass decodes the reply into labels, which are printed. Unlike
// the window, which shows the zeros of a missing reply, it says that no reply came: scripts must tell a
// silent supply from one that reads zero. Looking must not change the supply: without --mode every frame
// carries the mode the window keeps, and while the window runs the commands are its own.
class CliSession {
public:
    CliSession(const CliOptions& options, CliBackend& backend, WindowShare& window, Sleeper& sleeper,
               std::ostream& out, std::ostream& err)
        : m_options(options), m_backend(backend), m_window(window), m_sleeper(sleeper), m_out(out),
          m_err(err) {}

    CliExit Run();

private:
    // As the window's buttons do: the setters only, so the commands go out with the first poll.
    void ApplyCommands(PollCycle& cycle) const;
    bool HasCommands() const;
    // Read at every poll, so that a change in the running window is followed.
    void FollowKeptMode(PollCycle& cycle);
    // True when the reply came in time.
    bool WaitForReply(const CCUsbHid& channel);
    void WaitForNextPoll(CCUsbHid& channel);
    void Announce(bool back);

    const CliOptions m_options;
    CliBackend& m_backend;
    WindowShare& m_window;
    Sleeper& m_sleeper;
    std::ostream& m_out;
    std::ostream& m_err;
};

// Everything main() does: parse, answer --help and --version, choose the backend, run a session.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
