#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The seam between the report channel and a platform's HID access (SetupAPI/HID, hidraw, the virtual supply).

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

enum class HidAccess { Query, Read, Write };

enum class HidWriteStatus {
    Completed, // the report left at once
    Pending,   // under way; WaitForPendingWrite() returns when it has completed
    Failed,
};

// One open handle on a HID interface. Destroying it closes it.
class HidDeviceHandle {
public:
    virtual ~HidDeviceHandle() = default;

    // Vendor and product ID of the interface (query handles); nullopt when they cannot be read.
    virtual std::optional<HidAttributes> GetAttributes() = 0;

    // Blocks until an input report arrives and returns the bytes stored at buffer (report ID first), or -1
    // when the read failed or was cancelled.
    virtual int Read(std::uint8_t* buffer, std::size_t length) = 0;
    // Makes the pending Read, and every later one on this handle, return -1 at once; callable from any
    // thread.
    virtual void CancelRead() = 0;

    virtual HidWriteStatus Write(const std::uint8_t* buffer, std::size_t length) = 0;
    // True when Write() itself waits until the report has gone out instead of going Pending, as a hidraw
    // write does; the channel then makes the call on its write thread, never on the caller's.
    virtual bool WriteBlocks() const { return false; }
    // Returns when the write that went Pending has completed or was cancelled; at once when none is pending.
    virtual void WaitForPendingWrite() = 0;
    // Abandons a pending write and makes WaitForPendingWrite() return at once, now and later; callable from
    // any thread.
    virtual void CancelWrite() = 0;
};

// One present interface as enumeration saw it; detailFetched false when its path could not be obtained, which
// ends a search.
struct HidInterfaceEntry {
    std::string path;
    bool detailFetched = true;
};

class HidPlatform {
public:
    virtual ~HidPlatform() = default;

    // The present HID interfaces in a stable order; nullopt when no list can be obtained.
    virtual std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() = 0;
    // nullptr when the path cannot be opened with that access.
    virtual std::unique_ptr<HidDeviceHandle> Open(const std::string& path, HidAccess access) = 0;
};
