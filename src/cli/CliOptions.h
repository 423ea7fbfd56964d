#pragma once

#include "device/virtual/VirtualPowerSupply.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    static constexpr std::uint32_t kDefaultSeed = VirtualPowerSupply::kDefaultSeed;
    static constexpr int kDefaultIntervalMs = 5000;
    static constexpr int kHighestSpeedup = 1000;

    bool simulate = false;
    std::uint32_t seed = kDefaultSeed;
    int speedup = 1; // the virtual supply only: how many times shorter every wait of the poll is
    bool json = false;
    std::optional<int> count{}; // none: poll until interrupted
    int intervalMs = kDefaultIntervalMs;
    std::optional<std::int32_t> mode{}; // Eco or TempControl; none leaves the start-up mode (Eco)
    std::optional<int> fanRpm{};
    bool clearEnergy = false;
    bool help = false;
    bool version = false;

    bool operator==(const CliOptions&) const = default;
};

struct CliParseResult {
    CliOptions options;
    std::string error; // empty when the arguments were valid
};

// The arguments after the program name.
CliParseResult ParseCliOptions(const std::vector<std::string>& args);

std::string CliUsage();
