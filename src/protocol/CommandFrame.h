#pragma once

#include <array>
#include <cstdint>

// The 6-byte request the supply answers with a measurement block; it also carries the user's commands.
using CommandFrame = std::array<std::uint8_t, 6>;

enum : std::int32_t { Eco = 0, TempControl = 1 };

// Bit 2 of the poll state selects the TempControl frame (which carries the fan speed), bits 0-1 the
// sub-command.
CommandFrame BuildCommandFrame(std::int32_t pollState, std::int32_t requestedFanSpeed);
