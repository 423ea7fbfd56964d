#include "device/linux/KernelUeventMonitor.h"

#include "device/linux/Uevent.h"

#include <array>
#include <cerrno>
#include <linux/netlink.h>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The multicast group the kernel sends its uevents to; udevd re-sends them, processed, to group 2.
constexpr unsigned kKernelGroup = 1;

} // namespace

std::unique_ptr<KernelUeventMonitor> KernelUeventMonitor::Open() {
    const int fd = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd < 0) {
        return nullptr;
    }
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = kKernelGroup;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<KernelUeventMonitor>(new KernelUeventMonitor(fd));
}

KernelUeventMonitor::~KernelUeventMonitor() {
    close(m_socket);
}

bool KernelUeventMonitor::DrainChanges() {
    bool changed = false;
    std::array<char, 8192> message;
    for (;;) {
        sockaddr_nl sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t size = recvfrom(m_socket, message.data(), message.size(), 0,
                                      reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (size < 0) {
            if (errno == EINTR) {
                continue;
            }
            // ENOBUFS: the queue overflowed and notices were lost, so a search is due anyway.
            return changed || errno == ENOBUFS;
        }
        // Only the kernel (port 0) speaks for the devices.
        if (sender.nl_pid != 0) {
            continue;
        }
        const auto summary =
            ParseKernelUevent(std::string_view(message.data(), static_cast<std::size_t>(size)));
        changed = changed || (summary && IsWatchedChange(summary->action, summary->subsystem));
    }
}
