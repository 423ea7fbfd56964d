#include "device/linux/HidrawHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

std::unique_ptr<HidrawHandle> HidrawHandle::Adopt(int fd) {
    const int cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<HidrawHandle>(new HidrawHandle(fd, cancelFd));
}

HidrawHandle::~HidrawHandle() {
    close(m_fd);
    close(m_cancelFd);
}

int HidrawHandle::Read(std::uint8_t* buffer, std::size_t length) {
    if (length < 2) {
        return -1;
    }
    pollfd watched[2] = {{m_fd, POLLIN, 0}, {m_cancelFd, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        // The eventfd is never drained, so a cancel stays in force for every later read.
        if (watched[1].revents != 0) {
            return -1;
        }
        if ((watched[0].revents & POLLIN) != 0) {
            // Without numbered reports hidraw hands over the payload alone; the channel expects report ID 0
            // in front of it, as the Windows HID driver delivers it.
            const ssize_t received = read(m_fd, buffer + 1, std::min(length - 1, kPayloadBytes));
            if (received > 0) {
                buffer[0] = 0;
                return static_cast<int>(received) + 1;
            }
            if (received < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            // 0: the other end is gone; ENODEV or EIO: the device was removed.
            return -1;
        }
        if ((watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return -1;
        }
    }
}

void HidrawHandle::CancelRead() {
    const std::uint64_t one = 1;
    // Fails only when the counter would overflow, and then it is readable anyway.
    [[maybe_unused]] const ssize_t written = write(m_cancelFd, &one, sizeof one);
}

HidWriteStatus HidrawHandle::Write(const std::uint8_t* buffer, std::size_t length) {
    // hidraw takes the report ID in the first byte (0 for a device without numbered reports) and the payload
    // behind it, which is the channel's framing as it stands.
    for (;;) {
        const ssize_t written = write(m_fd, buffer, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        return written == static_cast<ssize_t>(length) ? HidWriteStatus::Completed : HidWriteStatus::Failed;
    }
}
