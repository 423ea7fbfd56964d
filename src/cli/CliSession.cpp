#include "cli/CliSession.h"

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

void CliSession::WaitForReply(const CCUsbHid& channel) {
    m_sleeper.SleepMs(ReadingTimings{}.copyDelayMs);
    // The write cleared the read buffer, so any non-zero byte means the reply is in.
    const auto replied = [&] {
        const CCUsbHid::Report report = channel.ReadBufferSnapshot();
        return std::any_of(report.begin(), report.end(), [](std::uint8_t byte) { return byte != 0; });
    };
    for (int waitedMs = 0; waitedMs < kLateReplyMs && !replied(); ++waitedMs) {
        m_sleeper.SleepMs(1);
    }
}

CliExit CliSession::Run() {
    CCUsbHid channel(m_backend.Platform(), m_sleeper);
    if (channel.OpenDevice(kSupplyVendorId) == 0) {
        m_err << kNoSupplyMessage << '\n';
        return ExitNoSupply;
    }

    Event pollEvent(Event::ResetMode::Automatic);
    PollCycle cycle;
    cycle.ResetForStartup();
    ApplyCommands(cycle);

    CCDataProcessing processor;
    ReadingFlags flags;
    const std::atomic<std::int32_t> deviceConnected{1};
    CliDisplay display;
    ReadingPipeline pipeline(processor, flags, deviceConnected, display);
    const std::atomic<bool> noStop{false};

    for (int poll = 1; !m_options.count || poll <= *m_options.count; ++poll) {
        if (poll > 1) {
            m_sleeper.SleepMs(m_options.intervalMs);
            m_backend.IntervalElapsed(m_options.intervalMs);
        }
        cycle.Tick(channel, pollEvent);
        WaitForReply(channel);
        pipeline.RunPass(channel.ReadBufferSnapshot(), noStop);
        const PollRecord record = CollectPoll(poll, display, flags, display.TakeWarnings());
        m_out << (m_options.json ? FormatJson(record) : FormatText(record)) << std::flush;
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
        out << "zephyrine-cli " << ZEPHYRINE_VERSION << '\n';
        return ExitDone;
    }
    const auto backend = MakeCliBackend(parsed.options);
    if (!backend) {
        err << kNoSupplyMessage << '\n';
        return ExitNoSupply;
    }
    SystemSleeper sleeper;
    return CliSession(parsed.options, *backend, sleeper, out, err).Run();
}
