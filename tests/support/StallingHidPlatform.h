#pragma once

#include "device/HidPlatform.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <type_traits>
#include <vector>

// One supply whose writes block as a hidraw write does on a device that does not take the report: Write()
// returns only after Release() or, failed, once the stall limit has passed (the kernel's USB timeout), and
// CancelWrite() cannot cut it short. Reads wait until cancelled and never deliver.
class StallingHidPlatform final : public HidPlatform {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit StallingHidPlatform(std::chrono::milliseconds stallLimit = std::chrono::seconds(5))
        : m_stallLimit(stallLimit) {}

    // Lets the stalled writes, and every later one, through.
    void Release() {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_changed.notify_all();
    }

    int WritesStarted() const {
        return Locked([this] { return m_writesStarted; });
    }
    int WritesInside() const {
        return Locked([this] { return m_writesInside; });
    }
    // The reports that went out, oldest first.
    std::vector<Bytes> Written() const {
        return Locked([this] { return m_written; });
    }
    int OpenHandles() const {
        return Locked([this] { return m_openHandles; });
    }
    // True once a handle was closed while a write was inside that handle.
    bool ClosedDuringWrite() const {
        return Locked([this] { return m_closedDuringWrite; });
    }

    std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() override {
        return std::vector<HidInterfaceEntry>{{"stalling", true}};
    }

    std::unique_ptr<HidDeviceHandle> Open(const std::string&, HidAccess) override {
        std::lock_guard lock(m_mutex);
        ++m_openHandles;
        return std::make_unique<Handle>(*this);
    }

private:
    class Handle final : public HidDeviceHandle {
    public:
        explicit Handle(StallingHidPlatform& platform) : m_platform(platform) {}
        ~Handle() override {
            std::lock_guard lock(m_platform.m_mutex);
            m_platform.m_closedDuringWrite = m_platform.m_closedDuringWrite || m_writing;
            --m_platform.m_openHandles;
        }
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;

        std::optional<HidAttributes> GetAttributes() override { return HidAttributes{0x04D8, 0x003F}; }

        int Read(std::uint8_t*, std::size_t) override {
            std::unique_lock lock(m_platform.m_mutex);
            m_platform.m_changed.wait(lock, [this] { return m_readCancelled; });
            return -1;
        }
        void CancelRead() override {
            {
                std::lock_guard lock(m_platform.m_mutex);
                m_readCancelled = true;
            }
            m_platform.m_changed.notify_all();
        }

        HidWriteStatus Write(const std::uint8_t* buffer, std::size_t length) override {
            std::unique_lock lock(m_platform.m_mutex);
            ++m_platform.m_writesStarted;
            ++m_platform.m_writesInside;
            m_writing = true;
            const bool taken = m_platform.m_changed.wait_for(lock, m_platform.m_stallLimit,
                                                             [this] { return m_platform.m_released; });
            --m_platform.m_writesInside;
            m_writing = false;
            if (!taken) {
                return HidWriteStatus::Failed;
            }
            m_platform.m_written.emplace_back(buffer, buffer + length);
            return HidWriteStatus::Completed;
        }
        bool WriteBlocks() const override { return true; }
        void WaitForPendingWrite() override {}
        void CancelWrite() override {}

    private:
        StallingHidPlatform& m_platform;
        bool m_readCancelled = false;
        bool m_writing = false;
    };

    template <typename Fn> std::invoke_result_t<Fn> Locked(Fn fn) const {
        std::lock_guard lock(m_mutex);
        return fn();
    }

    const std::chrono::milliseconds m_stallLimit;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_released = false;
    int m_writesStarted = 0;
    int m_writesInside = 0;
    int m_openHandles = 0;
    bool m_closedDuringWrite = false;
    std::vector<Bytes> m_written;
};
