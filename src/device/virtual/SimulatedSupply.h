#pragma once

#include "device/HidPlatform.h"
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

// A report as the simulation log writes it: two lowercase hex digits per byte, nothing between them.
std::string HexLine(std::span<const std::uint8_t> report);

// The virtual supply as a program runs it instead of the device: plugged in from the start, its model clock
// following the real one. The model catches up with its clock as each report reaches it, so an idle program
// is never woken for it. With a log path, every output report it receives goes to that file as one HexLine,
// within a log period and all of them by the time the object is destroyed; a worker thread of its own writes
// the log, so the program needs no event loop for it.
class SimulatedSupply {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // logPath is UTF-8; empty for no log. Before each report the model advances by the time modelClock
    // says has passed since the last one.
    explicit SimulatedSupply(const std::string& logPath,
                             std::chrono::milliseconds logPeriod = std::chrono::milliseconds(100),
                             Clock modelClock = std::chrono::steady_clock::now);
    ~SimulatedSupply();
    SimulatedSupply(const SimulatedSupply&) = delete;
    SimulatedSupply& operator=(const SimulatedSupply&) = delete;

    HidPlatform& Platform() { return m_platform; }

private:
    void Run();
    // Under the platform's lock.
    void CatchUp(VirtualPowerSupply& supply);
    void WriteNewReports();

    const std::chrono::milliseconds m_logPeriod;
    const Clock m_modelClock;
    std::chrono::steady_clock::time_point m_caughtUpTo;
    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply, [this](VirtualPowerSupply& supply) { CatchUp(supply); }};
    std::ofstream m_log;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    // Last, so that it starts when everything it uses is ready; only with a log.
    std::thread m_worker;
};
