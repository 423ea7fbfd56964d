#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One device created through /dev/uhid: to the kernel a USB HID device with a vendor-defined 64-byte input
// and output report and no report IDs. Destroying the object unplugs it (UHID_DESTROY).
class UhidDevice {
public:
    struct Event {
        enum class Kind { Start, Stop, Open, Close, Output, Other } kind = Kind::Other;
        // Output: the report as hidraw was given it, report ID first.
        std::vector<std::uint8_t> report;
    };

    // nullptr (with errno set) when /dev/uhid cannot be opened or refuses the device.
    static std::unique_ptr<UhidDevice> Create(const std::string& name, std::uint16_t vendorId,
                                              std::uint16_t productId);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    int Descriptor() const { return m_fd; }
    // One event from the kernel; call when Descriptor() is readable. Requests that need an answer (get and
    // set report) are refused here, so the kernel does not wait for them.
    std::optional<Event> ReadEvent();
    // An input report of these payload bytes (no report ID: the device has none).
    bool SendInput(std::span<const std::uint8_t> payload);

private:
    explicit UhidDevice(int fd) : m_fd(fd) {}

    const int m_fd;
};
