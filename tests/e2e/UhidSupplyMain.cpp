// zephyrine-uhid-supply: the virtual supply behind a real kernel HID device. It creates uhid devices on
// command and answers every output report of the supply with the model's input report, logging each report
// and the readings a monitor should show for it, so that a test can compare.
//
// Commands, one per line on the control FIFO: decoy, plug, unplug, reply normal|garbage|none|short BYTES,
// quit.

#include "UhidDevice.h"

#include "device/virtual/SimulatedSupply.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "protocol/CCDataProcessing.h"
#include "protocol/ReadingDisplay.h"
#include "protocol/ReadingFlags.h"
#include "protocol/ReadingPipeline.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
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

class SupplyDaemon {
public:
    explicit SupplyDaemon(std::uint32_t seed)
        : m_model(seed), m_lastReport(std::chrono::steady_clock::now()) {}

    // False on "quit".
    bool Command(const std::string& line);
    void Serve(UhidDevice& device, bool isSupply);

    UhidDevice* Supply() const { return m_supply.get(); }
    UhidDevice* Decoy() const { return m_decoy.get(); }

private:
    std::unique_ptr<UhidDevice> Create(const char* name, std::uint16_t productId);
    void Answer(UhidDevice& device, const std::vector<std::uint8_t>& report);

    VirtualPowerSupply m_model;
    std::chrono::steady_clock::time_point m_lastReport;
    std::unique_ptr<UhidDevice> m_supply;
    std::unique_ptr<UhidDevice> m_decoy;
};

std::unique_ptr<UhidDevice> SupplyDaemon::Create(const char* name, std::uint16_t productId) {
    auto device = UhidDevice::Create(name, kVendorId, productId);
    if (!device) {
        Say(std::string("SUPPLY error creating ") + name + ": " + std::strerror(errno));
    }
    return device;
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
        m_supply.reset();
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

void SupplyDaemon::Answer(UhidDevice& device, const std::vector<std::uint8_t>& report) {
    Say("SUPPLY OUT " + HexLine(report));
    const auto now = std::chrono::steady_clock::now();
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
    const std::span<const std::uint8_t> payload(reply.data() + 1, reply.size() - 1);
    if (!device.SendInput(payload)) {
        Say(std::string("SUPPLY error sending input: ") + std::strerror(errno));
        return;
    }
    Say("SUPPLY IN " + HexLine(payload));
    Say("SUPPLY EXPECT" + ExpectedReadings(payload));
}

void SupplyDaemon::Serve(UhidDevice& device, bool isSupply) {
    const auto event = device.ReadEvent();
    if (!event) {
        return;
    }
    const char* who = isSupply ? "SUPPLY" : "DECOY";
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
        if (isSupply) {
            Answer(device, event->report);
        } else {
            Say("DECOY OUT " + HexLine(event->report));
        }
        break;
    default:
        break;
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
        UhidDevice* devices[] = {daemon.Supply(), daemon.Decoy()};
        for (UhidDevice* device : devices) {
            watched.push_back({device != nullptr ? device->Descriptor() : -1, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 1;
        }
        for (std::size_t i = 0; i < 2; ++i) {
            if ((watched[i + 1].revents & POLLIN) != 0) {
                daemon.Serve(*devices[i], i == 0);
            }
        }
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
