#include "UhidDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

namespace {

// Vendor-defined page 0xFF00: one application collection with 64 bytes in and 64 bytes out, no report IDs.
constexpr std::uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF, // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,       // Usage (1)
    0xA1, 0x01,       // Collection (Application)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x40,       //   Report Count (64)
    0x09, 0x01,       //   Usage (1)
    0x81, 0x02,       //   Input (Data, Variable, Absolute)
    0x95, 0x40,       //   Report Count (64)
    0x09, 0x01,       //   Usage (1)
    0x91, 0x02,       //   Output (Data, Variable, Absolute)
    0xC0,             // End Collection
};

constexpr std::uint16_t kBusUsb = 0x03;

bool WriteEvent(int fd, const uhid_event& event) {
    return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

} // namespace

std::unique_ptr<UhidDevice> UhidDevice::Create(const std::string& name, std::uint16_t vendorId,
                                               std::uint16_t productId) {
    const int fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    std::strncpy(reinterpret_cast<char*>(create.name), name.c_str(), sizeof create.name - 1);
    create.rd_size = sizeof kReportDescriptor;
    create.bus = kBusUsb;
    create.vendor = vendorId;
    create.product = productId;
    std::memcpy(create.rd_data, kReportDescriptor, sizeof kReportDescriptor);
    if (!WriteEvent(fd, event)) {
        const int error = errno;
        close(fd);
        errno = error;
        return nullptr;
    }
    return std::unique_ptr<UhidDevice>(new UhidDevice(fd));
}

UhidDevice::~UhidDevice() {
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(m_fd, event);
    close(m_fd);
}

std::optional<UhidDevice::Event> UhidDevice::ReadEvent() {
    uhid_event event{};
    const ssize_t size = read(m_fd, &event, sizeof event);
    if (size <= 0) {
        return std::nullopt;
    }
    Event result;
    switch (event.type) {
    case UHID_START:
        result.kind = Event::Kind::Start;
        break;
    case UHID_STOP:
        result.kind = Event::Kind::Stop;
        break;
    case UHID_OPEN:
        result.kind = Event::Kind::Open;
        break;
    case UHID_CLOSE:
        result.kind = Event::Kind::Close;
        break;
    case UHID_OUTPUT: {
        const auto& output = event.u.output;
        result.kind = Event::Kind::Output;
        result.report.assign(output.data, output.data + std::min<std::size_t>(output.size, UHID_DATA_MAX));
        break;
    }
    case UHID_GET_REPORT: {
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = event.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        WriteEvent(m_fd, reply);
        break;
    }
    case UHID_SET_REPORT: {
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = event.u.set_report.id;
        reply.u.set_report_reply.err = EIO;
        WriteEvent(m_fd, reply);
        break;
    }
    default:
        break;
    }
    return result;
}

bool UhidDevice::SendInput(std::span<const std::uint8_t> payload) {
    uhid_event event{};
    event.type = UHID_INPUT2;
    const std::size_t size = std::min<std::size_t>(payload.size(), UHID_DATA_MAX);
    event.u.input2.size = static_cast<std::uint16_t>(size);
    std::copy_n(payload.begin(), size, event.u.input2.data);
    return WriteEvent(m_fd, event);
}
