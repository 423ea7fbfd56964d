#pragma once

#include "device/CCUsbHid.h"
#include "device/virtual/VirtualHidPlatform.h"
#include "support/RecordingSleeper.h"

// The real channel, opened on the virtual supply.
struct ConnectedChannel {
    ConnectedChannel() {
        platform.AddSupply();
        channel.OpenDevice(0x04D8);
    }

    VirtualPowerSupply supply;
    VirtualHidPlatform platform{supply};
    RecordingSleeper sleeper;
    CCUsbHid channel{platform, sleeper};
};
