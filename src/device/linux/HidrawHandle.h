#pragma once

#include "device/HidPlatform.h"

#include <atomic>
#include <memory>

// A read or write handle on a hidraw node. Reads wait in poll() on the node and on an eventfd of the handle,
// so CancelRead can wake a reader without closing the descriptor it is inside.
class HidrawHandle final : public HidDeviceHandle {
public:
    static constexpr std::size_t kPayloadBytes = 64;

    // Takes ownership of fd, a node opened with O_NONBLOCK (or anything that, like hidraw, moves one report
    // per read and write). nullptr, with fd closed, when no eventfd can be had.
    static std::unique_ptr<HidrawHandle> Adopt(int fd);
    ~HidrawHandle() override;
    HidrawHandle(const HidrawHandle&) = delete;
    HidrawHandle& operator=(const HidrawHandle&) = delete;

    // The IDs come from udev with the query handle; this handle has none of its own.
    std::optional<HidAttributes> GetAttributes() override { return std::nullopt; }

    int Read(std::uint8_t* buffer, std::size_t length) override;
    void CancelRead() override;

    // Returns once the device took the report: hidraw writes are synchronous, and nothing is ever pending.
    HidWriteStatus Write(const std::uint8_t* buffer, std::size_t length) override;
    bool WriteBlocks() const override { return true; }
    void WaitForPendingWrite() override {}
    // A write inside the kernel cannot be called back; it ends when the device takes the report or the USB
    // output timeout (5 s) has passed.
    void CancelWrite() override {}

private:
    HidrawHandle(int fd, int cancelFd) : m_fd(fd), m_cancelFd(cancelFd) {}

    const int m_fd;
    const int m_cancelFd;
};
