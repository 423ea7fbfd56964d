#pragma once

#include "device/virtual/VirtualPowerSupply.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    static constexpr std::uint32_t kDefaultSeed = VirtualPowerSupply::kDefaultSeed;
    static constexpr int kDefaultIntervalMs = 5000;

    bool simulate = false;
    std::uint32_t seed = kDefaultSeed;
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
