#pragma once

#include "common/Event.h"
#include "protocol/CommandFrame.h"

#include <array>
#include <cstdint>

class CCUsbHid;

// The pending-command register of the poll: every command waits in PollState (and RequestedFanSpeed) until
// the next tick sends it, after which PollState falls back to the resting value of the mode. Window thread
// only.
class PollCycle {
public:
    static constexpr int kFrameBufferSize = 1024;

    // Window initialisation, before the configuration is read.
    void ResetForStartup();
    // The configuration load at start.
    void ApplyLoadedMode(std::int32_t mode);
    void SelectEco();
    void SelectTempControl();
    // A confirmed clear-energy request; changes nothing when the mode is neither Eco nor TempControl.
    void RequestClearEnergy();
    // A speed the fan-speed dialog confirmed; goes out in a TempControl frame whatever the mode.
    void RequestFanSpeed(std::int32_t rpm);

    // Timer 1: sends the frame that PollState selects through the channel and wakes the reading thread.
    void Tick(CCUsbHid& channel, Event& pollEvent);

    std::int32_t ControlMode = Eco;
    std::int32_t PollState = 0;
    std::int32_t RequestedFanSpeed = 0;
    std::array<std::uint8_t, kFrameBufferSize> FrameBuffer{};

private:
    void FallBackToResting();
};
