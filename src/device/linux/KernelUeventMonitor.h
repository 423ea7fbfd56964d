#pragma once

#include "device/DeviceMonitor.h"

#include <memory>

// The kernel's own uevents on a NETLINK_KOBJECT_UEVENT socket, for systems without a udev daemon (containers,
// an initramfs). The kernel creates the node in devtmpfs before it sends the "add".
class KernelUeventMonitor final : public DeviceMonitor {
public:
    // nullptr when the socket cannot be opened.
    static std::unique_ptr<KernelUeventMonitor> Open();
    ~KernelUeventMonitor() override;
    KernelUeventMonitor(const KernelUeventMonitor&) = delete;
    KernelUeventMonitor& operator=(const KernelUeventMonitor&) = delete;

    int Descriptor() const override { return m_socket; }
    bool DrainChanges() override;

private:
    explicit KernelUeventMonitor(int socket) : m_socket(socket) {}

    const int m_socket;
};
