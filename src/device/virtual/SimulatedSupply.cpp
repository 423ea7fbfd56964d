#include "device/virtual/SimulatedSupply.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <utility>

std::string HexLine(std::span<const std::uint8_t> report) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    line.reserve(2 * report.size());
    for (const std::uint8_t byte : report) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

SimulatedSupply::SimulatedSupply(const std::string& logPath, std::chrono::milliseconds logPeriod,
                                 Clock modelClock)
    : m_logPeriod(logPeriod), m_modelClock(std::move(modelClock)), m_caughtUpTo(m_modelClock()),
      m_supply(VirtualPowerSupply::kDefaultSeed,
               logPath.empty() ? VirtualPowerSupply::kKeptReports : VirtualPowerSupply::kKeepUntilTaken) {
    m_platform.AddSupply();
    if (logPath.empty()) {
        return;
    }
    // Built from UTF-8 explicitly: a narrow string would be read in the ANSI code page on Windows.
    // Binary, so that the lines end in LF there too and the log reads the same on every system.
    m_log.open(std::filesystem::path(std::u8string(logPath.begin(), logPath.end())),
               std::ios::binary | std::ios::trunc);
    if (m_log.is_open()) {
        m_worker = std::thread([this] { Run(); });
    }
}

SimulatedSupply::~SimulatedSupply() {
    if (m_worker.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_worker.join();
    }
    WriteNewReports();
}

void SimulatedSupply::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_wake.wait_for(lock, m_logPeriod, [this] { return m_stopping; })) {
            return;
        }
        lock.unlock();
        WriteNewReports();
        lock.lock();
    }
}

void SimulatedSupply::CatchUp(VirtualPowerSupply& supply) {
    const auto elapsed = std::chrono::floor<std::chrono::milliseconds>(m_modelClock() - m_caughtUpTo);
    // The part of a millisecond left over counts towards the next report, so the model never falls behind.
    m_caughtUpTo += elapsed;
    // A machine that slept for weeks owes the model more than one Advance() can take.
    constexpr std::int64_t kLongestAdvanceMs = std::numeric_limits<int>::max();
    for (std::int64_t leftMs = elapsed.count(); leftMs > 0; leftMs -= kLongestAdvanceMs) {
        supply.Advance(static_cast<int>(std::min(leftMs, kLongestAdvanceMs)));
    }
}

void SimulatedSupply::WriteNewReports() {
    if (!m_log.is_open()) {
        return;
    }
    // Taken under the platform's lock, written after it, so that a slow disk holds up no write; the supply
    // keeps only what has not been taken yet.
    const auto reports =
        m_platform.WithSupply([](VirtualPowerSupply& supply) { return supply.TakeReceivedReports(); });
    std::string lines;
    for (const VirtualPowerSupply::Bytes& report : reports) {
        lines += HexLine(report) + "\n";
    }
    m_log << lines;
    m_log.flush();
}
