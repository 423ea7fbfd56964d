#include "cli/CliSession.h"
#include "common/Version.h"

#include "cli/CliDisplay.h"
#include "cli/PollRecord.h"
#include "common/Event.h"
#include "device/CCUsbHid.h"
#include "protocol/CCDataProcessing.h"
#include "protocol/PollCycle.h"
#include "protocol/ReadingFlags.h"
#include "protocol/ReadingPipeline.h"
#include "protocol/ReadingThread.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr std::uint32_t kSupplyVendorId = 0x04D8;
// After the copy delay, how long to go on looking for a late reply, in 1 ms steps.
constexpr int kLateReplyMs = 250;

// Found, and open both ways: a supply the user may not open is no use to the session.
bool Usable(const CCUsbHid& channel) {
    return channel.Disconnected() == 0 && channel.HasReadHandle() && channel.HasWriteHandle();
}

} // namespace

void CliSession::ApplyCommands(PollCycle& cycle) const {
    if (m_options.mode == Eco) {
        cycle.SelectEco();
    } else if (m_options.mode == TempControl) {
        cycle.SelectTempControl();
    }
    // A speed before a clear, so that in TempControl one frame carries both.
    if (m_options.fanRpm) {
        cycle.RequestFanSpeed(*m_options.fanRpm);
    }
    if (m_options.clearEnergy) {
        cycle.RequestClearEnergy();
    }
}

bool CliSession::HasCommands() const {
    return m_options.mode || m_options.fanRpm || m_options.clearEnergy;
}

void CliSession::FollowKeptMode(PollCycle& cycle) {
    if (m_options.mode) {
        return;
    }
    const std::optional<std::int32_t> kept = m_window.KeptMode();
    if (kept && *kept != cycle.ControlMode) {
        cycle.ApplyLoadedMode(*kept);
    }
}

bool CliSession::WaitForReply(const CCUsbHid& channel) {
    m_sleeper.SleepMs(ReadingTimings{}.copyDelayMs);
    // The write cleared the read buffer, so any non-zero byte means the reply is in.
    const auto replied = [&] {
        const CCUsbHid::Report report = channel.ReadBufferSnapshot();
        return std::any_of(report.begin(), report.end(), [](std::uint8_t byte) { return byte != 0; });
    };
    for (int waitedMs = 0; waitedMs < kLateReplyMs; ++waitedMs) {
        if (replied()) {
            return true;
        }
        m_sleeper.SleepMs(1);
    }
    return replied();
}

// Timer 1 and the window's device-change handling: every notice re-runs the search; finding the supply
// restarts the interval, not finding it stops the polls until a later notice finds it again.
void CliSession::WaitForNextPoll(CCUsbHid& channel) {
    bool connected = true;
    for (;;) {
        if (!m_backend.WaitForDeviceChange(m_options.intervalMs, m_sleeper)) {
            if (connected) {
                return;
            }
            continue;
        }
        channel.OpenDevice(kSupplyVendorId);
        const bool found = Usable(channel);
        if (found != connected) {
            Announce(found);
        }
        connected = found;
    }
}

void CliSession::Announce(bool back) {
    if (m_options.json) {
        m_out << (back ? "{\"event\":\"supply_back\"}\n" : "{\"event\":\"supply_lost\"}\n");
    } else {
        m_out << (back ? kSupplyBackMessage : kSupplyLostMessage) << '\n';
    }
    m_out << std::flush;
}

CliExit CliSession::Run() {
    if (HasCommands() && m_window.WindowRuns()) {
        m_err << kWindowOwnsCommandsMessage << '\n';
        return ExitWindowOwnsCommands;
    }
    CCUsbHid channel(m_backend.Platform(), m_sleeper);
    if (channel.OpenDevice(kSupplyVendorId) == 0) {
        m_err << kNoSupplyMessage << '\n';
        return ExitNoSupply;
    }
    if (!Usable(channel)) {
        const std::string problem = m_backend.OpenProblem();
        m_err << "zephyrine-cli: " << (problem.empty() ? "the power supply cannot be opened" : problem)
              << '\n';
        return ExitNoAccess;
    }

    Event pollEvent(Event::ResetMode::Automatic);
    PollCycle cycle;
    cycle.ResetForStartup();
    FollowKeptMode(cycle);
    ApplyCommands(cycle);
    // The window starts in it next time.
    if (m_options.mode) {
        m_window.KeepMode(*m_options.mode);
    }

    CCDataProcessing processor;
    ReadingFlags flags;
    const std::atomic<std::int32_t> deviceConnected{1};
    CliDisplay display;
    ReadingPipeline pipeline(processor, flags, deviceConnected, display);
    const std::atomic<bool> noStop{false};

    bool anyReply = false;
    for (int poll = 1; !m_options.count || poll <= *m_options.count; ++poll) {
        if (poll > 1) {
            WaitForNextPoll(channel);
            m_backend.IntervalElapsed(m_options.intervalMs);
            FollowKeptMode(cycle);
        }
        cycle.Tick(channel, pollEvent);
        const bool replied = WaitForReply(channel);
        // The pass runs either way, so the flags go on as the window's do.
        pipeline.RunPass(channel.ReadBufferSnapshot(), noStop);
        std::vector<std::string> warnings = display.TakeWarnings();
        const PollRecord record =
            replied ? CollectPoll(poll, display, flags, std::move(warnings)) : UnansweredPoll(poll);
        m_out << (m_options.json ? FormatJson(record) : FormatText(record)) << std::flush;
        anyReply = anyReply || replied;
    }
    if (!anyReply) {
        m_err << kNeverRepliedMessage << '\n';
        return ExitNoReply;
    }
    return ExitDone;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliParseResult parsed = ParseCliOptions(args);
    if (!parsed.error.empty()) {
        err << "zephyrine-cli: " << parsed.error << " (see --help)\n";
        return ExitInvalidArguments;
    }
    if (parsed.options.help) {
        out << CliUsage();
        return ExitDone;
    }
    if (parsed.options.version) {
        out << "zephyrine-cli " << kZephyrineVersion << '\n';
        return ExitDone;
    }
    const auto backend = MakeCliBackend(parsed.options);
    if (!backend) {
        err << kNoSupplyMessage << '\n';
        return ExitNoSupply;
    }
    const auto window = MakeWindowShare(parsed.options.simulate);
    SystemSleeper sleeper(parsed.options.speedup);
    return CliSession(parsed.options, *backend, *window, sleeper, out, err).Run();
}
