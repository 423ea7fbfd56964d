// zephyrine-uhid-supply: the virtual supply behind a real kernel HID device. It creates uhid devices on
// command and answers every output report of the supply with the model's input report, logging each report
// and the readings a monitor should show for it, so that a test can compare.
//
// Commands, one per line on the control FIFO: decoy, plug, unplug, reply normal|garbage|none|short BYTES,
// delay MS (answer that late), flood MS (send the last reply as fast as the machine can, unasked, for that
// long), cycle N PERIOD_MS (N unplugs each followed by a plug, half a period apart, ending plugged), twin
// (a second device with the supply's IDs that never answers), untwin, quit. Each logs "SUPPLY done <command>"
// when carried out; flood and cycle when they end.

#include "UhidDevice.h"

#include "device/virtual/SimulatedSupply.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "protocol/CCDataProcessing.h"
#include "protocol/ReadingDisplay.h"
#include "protocol/ReadingFlags.h"
#include "protocol/ReadingPipeline.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint16_t kVendorId = 0x04D8;
constexpr std::uint16_t kSupplyProductId = 0x003F;
constexpr std::uint16_t kDecoyProductId = 0x0040;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Collects the label texts of one pass; warnings do not matter here.
class LabelTexts final : public ReadingDisplay {
public:
    void SetLabelText(int controlId, const std::string& text) override { m_texts[controlId] = text; }
    void RefreshLabelArea(int) override {}
    void ShowWarning(const std::string&) override {}

    std::string Line() const {
        std::string line;
        for (const auto& [id, text] : m_texts) {
            line += " " + std::to_string(id) + "=" + text;
        }
        return line;
    }

private:
    std::map<int, std::string> m_texts;
};

// What a monitor shows for a reply: its read buffer holds report ID 0, the payload that arrived, and the
// zeros its write left behind.
std::string ExpectedReadings(std::span<const std::uint8_t> payload) {
    ReadingPipeline::Report report{};
    std::copy_n(payload.begin(), std::min(payload.size(), report.size() - 1), report.begin() + 1);
    CCDataProcessing processor;
    ReadingFlags flags;
    const std::atomic<std::int32_t> connected{1};
    LabelTexts texts;
    ReadingPipeline pipeline(processor, flags, connected, texts);
    const std::atomic<bool> stop{false};
    pipeline.RunPass(report, stop);
    return texts.Line();
}

using Clock = std::chrono::steady_clock;

class SupplyDaemon {
public:
    explicit SupplyDaemon(std::uint32_t seed) : m_model(seed), m_lastReport(Clock::now()) {}

    // False on "quit".
    bool Command(const std::string& line);
    // The devices present, in a fixed order: supply, decoy, twin (null when absent).
    std::array<UhidDevice*, 3> Devices() const { return {m_supply.get(), m_decoy.get(), m_twin.get()}; }
    void Serve(UhidDevice& device);
    // How long poll() may sleep before RunTimers has something to do; -1 for as long as it likes.
    int TimeoutMs(Clock::time_point now) const;
    // Sends the late replies that are due, the next flood report, the next unplug or plug of a cycle.
    void RunTimers(Clock::time_point now);

private:
    struct LateReply {
        Clock::time_point due;
        std::vector<std::uint8_t> payload;
    };

    std::unique_ptr<UhidDevice> Create(const char* name, std::uint16_t productId);
    void Answer(const std::vector<std::uint8_t>& report);
    void Send(std::span<const std::uint8_t> payload);
    void Unplug();

    VirtualPowerSupply m_model;
    Clock::time_point m_lastReport;
    std::unique_ptr<UhidDevice> m_supply;
    std::unique_ptr<UhidDevice> m_decoy;
    std::unique_ptr<UhidDevice> m_twin;

    int m_replyDelayMs = 0;
    std::deque<LateReply> m_lateReplies;
    std::vector<std::uint8_t> m_lastPayload;

    std::string m_floodCommand;
    Clock::time_point m_floodStart;
    Clock::time_point m_floodEnd;
    long m_floodSent = 0;

    std::string m_cycleCommand;
    int m_cyclesLeft = 0;
    std::chrono::milliseconds m_halfPeriod{0};
    Clock::time_point m_nextSwitch;
};

std::unique_ptr<UhidDevice> SupplyDaemon::Create(const char* name, std::uint16_t productId) {
    auto device = UhidDevice::Create(name, kVendorId, productId);
    if (!device) {
        Say(std::string("SUPPLY error creating ") + name + ": " + std::strerror(errno));
    }
    return device;
}

void SupplyDaemon::Unplug() {
    m_supply.reset();
    // Replies still on their way went with the device.
    m_lateReplies.clear();
}

bool SupplyDaemon::Command(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "decoy") {
        m_decoy = Create("Zephyrine e2e decoy", kDecoyProductId);
    } else if (command == "plug") {
        m_supply = Create("Zephyrine e2e supply", kSupplyProductId);
    } else if (command == "unplug") {
        Unplug();
    } else if (command == "twin") {
        m_twin = Create("Zephyrine e2e silent twin", kSupplyProductId);
    } else if (command == "untwin") {
        m_twin.reset();
    } else if (command == "reply") {
        std::string kind;
        int bytes = 0;
        words >> kind >> bytes;
        if (kind == "garbage") {
            m_model.ScriptReply(VirtualPowerSupply::ReplyKind::Garbage);
        } else if (kind == "short") {
            m_model.ScriptReply(VirtualPowerSupply::ReplyKind::Short, bytes);
        } else if (kind == "none") {
            m_model.ScriptReply(VirtualPowerSupply::ReplyKind::None);
        } else {
            m_model.ScriptReply(VirtualPowerSupply::ReplyKind::Normal);
        }
    } else if (command == "delay") {
        words >> m_replyDelayMs;
    } else if (command == "flood") {
        int durationMs = 0;
        words >> durationMs;
        m_floodCommand = line;
        m_floodStart = Clock::now();
        m_floodEnd = m_floodStart + std::chrono::milliseconds(durationMs);
        m_floodSent = 0;
        return true;
    } else if (command == "cycle") {
        int periodMs = 0;
        words >> m_cyclesLeft >> periodMs;
        m_cycleCommand = line;
        m_halfPeriod = std::chrono::milliseconds(periodMs / 2);
        m_nextSwitch = Clock::now();
        return true;
    } else if (command == "quit") {
        return false;
    } else if (!command.empty()) {
        Say("SUPPLY unknown command " + command);
        return true;
    }
    if (!command.empty()) {
        Say("SUPPLY done " + line);
    }
    return true;
}

void SupplyDaemon::Send(std::span<const std::uint8_t> payload) {
    if (!m_supply || !m_supply->SendInput(payload)) {
        Say(std::string("SUPPLY error sending input: ") + (m_supply ? std::strerror(errno) : "unplugged"));
        return;
    }
    Say("SUPPLY IN " + HexLine(payload));
    Say("SUPPLY EXPECT" + ExpectedReadings(payload));
}

void SupplyDaemon::Answer(const std::vector<std::uint8_t>& report) {
    Say("SUPPLY OUT " + HexLine(report));
    const auto now = Clock::now();
    m_model.Advance(
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastReport).count()));
    m_lastReport = now;
    const VirtualPowerSupply::Bytes reply = m_model.HandleOutputReport(report);
    Say("SUPPLY STATE program=" + std::to_string(m_model.Program()) +
        " fan=" + std::to_string(m_model.FanRpm()) + " energyKwh=" + std::to_string(m_model.EnergyKwh()));
    if (reply.empty()) {
        Say("SUPPLY IN none");
        return;
    }
    // The reply's byte 0 is the report ID, which a device without numbered reports does not send.
    std::vector<std::uint8_t> payload(reply.begin() + 1, reply.end());
    if (m_replyDelayMs > 0) {
        m_lateReplies.push_back({now + std::chrono::milliseconds(m_replyDelayMs), payload});
    } else {
        Send(payload);
    }
    m_lastPayload = std::move(payload);
}

void SupplyDaemon::Serve(UhidDevice& device) {
    const auto event = device.ReadEvent();
    if (!event) {
        return;
    }
    const char* who = &device == m_supply.get() ? "SUPPLY" : &device == m_decoy.get() ? "DECOY" : "TWIN";
    switch (event->kind) {
    case UhidDevice::Event::Kind::Start:
        Say(std::string(who) + " started");
        break;
    case UhidDevice::Event::Kind::Open:
        Say(std::string(who) + " opened");
        break;
    case UhidDevice::Event::Kind::Close:
        Say(std::string(who) + " closed");
        break;
    case UhidDevice::Event::Kind::Output:
        if (&device == m_supply.get()) {
            Answer(event->report);
        } else {
            Say(std::string(who) + " OUT " + HexLine(event->report));
        }
        break;
    default:
        break;
    }
}

int SupplyDaemon::TimeoutMs(Clock::time_point now) const {
    if (!m_floodCommand.empty()) {
        return 0;
    }
    std::optional<Clock::time_point> next;
    if (!m_lateReplies.empty()) {
        next = m_lateReplies.front().due;
    }
    if (m_cyclesLeft > 0 && (!next || m_nextSwitch < *next)) {
        next = m_nextSwitch;
    }
    if (!next) {
        return -1;
    }
    return static_cast<int>(
        std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(*next - now).count()));
}

void SupplyDaemon::RunTimers(Clock::time_point now) {
    while (!m_lateReplies.empty() && m_lateReplies.front().due <= now) {
        const LateReply late = std::move(m_lateReplies.front());
        m_lateReplies.pop_front();
        Send(late.payload);
    }
    if (!m_floodCommand.empty()) {
        // Not logged one by one: the log would take the time the flood is meant to use.
        if (m_supply && m_supply->SendInput(m_lastPayload)) {
            ++m_floodSent;
        }
        if (now >= m_floodEnd) {
            const auto tookMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(now - m_floodStart).count();
            Say("SUPPLY flood sent " + std::to_string(m_floodSent) + " reports in " + std::to_string(tookMs) +
                " ms");
            Say("SUPPLY done " + m_floodCommand);
            m_floodCommand.clear();
        }
    }
    if (m_cyclesLeft > 0 && m_nextSwitch <= now) {
        if (m_supply) {
            Unplug();
        } else {
            m_supply = Create("Zephyrine e2e supply", kSupplyProductId);
            if (--m_cyclesLeft == 0) {
                Say("SUPPLY done " + m_cycleCommand);
            }
        }
        m_nextSwitch = now + m_halfPeriod;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CONTROL_FIFO [SEED]\n", argv[0]);
        return 2;
    }
    // Read-write, so the FIFO never reports end-of-file between two writers.
    const int control = open(argv[1], O_RDWR | O_CLOEXEC);
    if (control < 0) {
        std::perror(argv[1]);
        return 1;
    }
    SupplyDaemon daemon(argc > 2 ? static_cast<std::uint32_t>(std::stoul(argv[2]))
                                 : VirtualPowerSupply::kDefaultSeed);
    Say("SUPPLY ready");
    std::string pending;
    for (;;) {
        std::vector<pollfd> watched{{control, POLLIN, 0}};
        const auto devices = daemon.Devices();
        for (UhidDevice* device : devices) {
            watched.push_back({device != nullptr ? device->Descriptor() : -1, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), daemon.TimeoutMs(Clock::now())) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 1;
        }
        for (std::size_t i = 0; i < devices.size(); ++i) {
            // Served only while still present: a cycle or a command may have removed it since the poll.
            if ((watched[i + 1].revents & POLLIN) != 0 && daemon.Devices()[i] == devices[i]) {
                daemon.Serve(*devices[i]);
            }
        }
        daemon.RunTimers(Clock::now());
        if ((watched[0].revents & POLLIN) != 0) {
            char chunk[256];
            const ssize_t size = read(control, chunk, sizeof chunk);
            pending.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
            for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!daemon.Command(line)) {
                    return 0;
                }
            }
        }
    }
}
