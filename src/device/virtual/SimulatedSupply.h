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
// following the real one. With a log path, every output report it receives goes to that file as one
// HexLine, within a log period and all of them by the time the object is destroyed. A worker thread of its
// own does both, so the program needs no event loop for it.
class SimulatedSupply {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // logPath is UTF-8; empty for no log. Every stepPeriod the model advances by the time modelClock says
    // has passed. Once a second is fine enough for a model whose temperature takes minutes to move.
    explicit SimulatedSupply(const std::string& logPath,
                             std::chrono::milliseconds stepPeriod = std::chrono::milliseconds(1000),
                             std::chrono::milliseconds logPeriod = std::chrono::milliseconds(100),
                             Clock modelClock = std::chrono::steady_clock::now);
    ~SimulatedSupply();
    SimulatedSupply(const SimulatedSupply&) = delete;
    SimulatedSupply& operator=(const SimulatedSupply&) = delete;

    HidPlatform& Platform() { return m_platform; }

private:
    void Run();
    void Step();
    void WriteNewReports();

    VirtualPowerSupply m_supply;
    VirtualHidPlatform m_platform{m_supply};
    const std::chrono::milliseconds m_stepPeriod;
    const std::chrono::milliseconds m_logPeriod;
    const Clock m_modelClock;
    std::chrono::steady_clock::time_point m_lastStep;
    std::ofstream m_log;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    // Last, so that it starts when everything it uses is ready.
    std::thread m_worker;
};
