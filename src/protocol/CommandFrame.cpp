#include "protocol/CommandFrame.h"

CommandFrame BuildCommandFrame(std::int32_t pollState, std::int32_t requestedFanSpeed) {
    const bool tempControl = (pollState & 4) != 0;
    const auto speed = static_cast<std::uint32_t>(requestedFanSpeed);
    return {0xAA,
            0x7E,
            static_cast<std::uint8_t>(tempControl ? 0x82 : 0x80),
            static_cast<std::uint8_t>(tempControl ? speed & 0xFFu : 0u),
            static_cast<std::uint8_t>(tempControl ? (speed >> 8) & 0xFFu : 0u),
            static_cast<std::uint8_t>(pollState & 3)};
}
