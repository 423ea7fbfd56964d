#include "protocol/PollCycle.h"

#include "device/CCUsbHid.h"

#include <algorithm>

void PollCycle::ResetForStartup() {
    FrameBuffer.fill(0);
    FrameBuffer[0] = 0xAA;
    FrameBuffer[1] = 0x7E;
    PollState = 0;
    ControlMode = Eco;
    RequestedFanSpeed = 0;
}

void PollCycle::FallBackToResting() {
    if (ControlMode == Eco) {
        PollState = 0;
    } else if (ControlMode == TempControl) {
        PollState = 4;
    }
}

void PollCycle::ApplyLoadedMode(std::int32_t mode) {
    ControlMode = mode;
    FallBackToResting();
}

void PollCycle::SelectEco() {
    ControlMode = Eco;
    PollState = 0;
}

void PollCycle::SelectTempControl() {
    ControlMode = TempControl;
    PollState = 4;
}

void PollCycle::RequestClearEnergy() {
    if (ControlMode == Eco) {
        PollState = 1;
    } else if (ControlMode == TempControl) {
        PollState = 5;
    }
}

void PollCycle::RequestFanSpeed(std::int32_t rpm) {
    RequestedFanSpeed = rpm;
    PollState = 4;
}

void PollCycle::Tick(CCUsbHid& channel, Event& pollEvent) {
    const CommandFrame frame = BuildCommandFrame(PollState, RequestedFanSpeed);
    std::copy(frame.begin(), frame.end(), FrameBuffer.begin());
    // The command is consumed before the write, so a failed write loses it instead of repeating it.
    FallBackToResting();
    RequestedFanSpeed = 0;
    channel.WriteReport(static_cast<int>(frame.size()), FrameBuffer.data());
    FrameBuffer.fill(0);
    pollEvent.Set();
}
