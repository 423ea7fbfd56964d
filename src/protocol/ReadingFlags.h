#pragma once

#include <atomic>
#include <cstdint>

// 0 normal, 1 warn. Written only by the reading pipeline, read by the window when it colours the readings.
struct ReadingFlags {
    std::atomic<std::int32_t> RailMinus12VOutOfBand{0};
    std::atomic<std::int32_t> Rail12VOutOfBand{0};
    std::atomic<std::int32_t> Rail3V3OutOfBand{0};
    std::atomic<std::int32_t> Rail5VsbOutOfBand{0};
    std::atomic<std::int32_t> Rail5VOutOfBand{0};
    std::atomic<std::int32_t> InputVoltageAlarm{0};
    std::atomic<std::int32_t> InputVoltageAlarmShown{0};
    std::atomic<std::int32_t> OverTemperatureAlarm{0};
    std::atomic<std::int32_t> OverTemperatureAlarmShown{0};
    std::atomic<std::int32_t> InputPowerAlarm{0};
    std::atomic<std::int32_t> InputPowerAlarmShown{0};

    void Clear();
    // The flag that colours a reading label, or null for the readings that have none.
    const std::atomic<std::int32_t>* FlagOfLabel(int controlId) const;
};
