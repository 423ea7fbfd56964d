#pragma once

// Device-change notices on platforms that deliver them on a descriptor (Linux: udev or the kernel's uevents).
// The owner watches Descriptor() for readability (poll, a socket notifier) and then calls DrainChanges; a
// true answer asks for a new device search, as the window's device-change handling runs on every notice.
class DeviceMonitor {
public:
    virtual ~DeviceMonitor() = default;

    virtual int Descriptor() const = 0;
    // Reads every notice that is waiting, without blocking; true when one of them added or removed a device
    // of a watched kind, or when notices were lost.
    virtual bool DrainChanges() = 0;
};
