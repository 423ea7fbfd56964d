#pragma once

#include "protocol/CCDataProcessing.h"
#include "protocol/ReadingDisplay.h"
#include "protocol/ReadingFlags.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

// One pass over a reply: decode, scale, clamp, band-test and show the eleven readings, then raise the pending
// warning boxes, each once per excursion.
class ReadingPipeline {
public:
    using Report = std::array<std::uint8_t, 65>;

    static const char* const kOverTemperatureWarning;
    static const char* const kInputVoltageWarning;
    static const char* const kInputPowerWarning;

    ReadingPipeline(CCDataProcessing& processor, ReadingFlags& flags,
                    const std::atomic<std::int32_t>& deviceConnected, ReadingDisplay& display)
        : m_processor(processor), m_flags(flags), m_deviceConnected(deviceConnected), m_display(display) {}

    // Returns false when stopRequested cut the pass short; it is tested after every display operation, since
    // each of them may wait for the window.
    bool RunPass(const Report& report, const std::atomic<bool>& stopRequested);

private:
    bool Connected() const { return m_deviceConnected.load() == 1; }
    void ApplyRailBand(float value, double low, double high, std::atomic<std::int32_t>& flag) const;
    void ApplyAlarmRule(bool normal, bool raise, std::atomic<std::int32_t>& alarm,
                        std::atomic<std::int32_t>& shown) const;
    bool Show(int controlId, const char* format, double value, const std::atomic<bool>& stopRequested);
    bool Publish(int controlId, const std::string& text, const std::atomic<bool>& stopRequested);
    bool RaiseWarning(std::atomic<std::int32_t>& alarm, std::atomic<std::int32_t>& shown, const char* text,
                      const std::atomic<bool>& stopRequested);

    CCDataProcessing& m_processor;
    ReadingFlags& m_flags;
    const std::atomic<std::int32_t>& m_deviceConnected;
    ReadingDisplay& m_display;
};
