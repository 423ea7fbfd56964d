#pragma once

#include "common/Event.h"
#include "common/Sleeper.h"
#include "device/HandleSlot.h"
#include "device/HidPlatform.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// The link to the power supply: finds it among the present HID interfaces, keeps one read pending on a thread
// of its own so that the newest input report lies in the read buffer, and writes output reports. A write the
// platform cannot start without waiting goes to a second thread, so the caller never waits on the device.
class CCUsbHid {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kReportBytes = 65; // report ID + 64 payload bytes
    static constexpr std::uint16_t kProductId = 0x003F;

    using Report = std::array<std::uint8_t, kReportBytes>;

    CCUsbHid(HidPlatform& platform, Sleeper& sleeper);
    virtual ~CCUsbHid();
    CCUsbHid(const CCUsbHid&) = delete;
    CCUsbHid& operator=(const CCUsbHid&) = delete;

    // 1 when an interface with this vendor ID and product 0x003F was found and opened, 0 otherwise.
    int OpenDevice(std::uint32_t vendorId);
    // 1 when the report was written or is under way (WriteBusy() is 1 until it has gone), 0 when refused or
    // failed.
    int WriteReport(int length, const std::uint8_t* payload);

    // 1 while no supply is open.
    int Disconnected() const { return m_disconnected.load(); }
    int WriteBusy() const { return m_writeBusy.load(); }
    // Bytes 0..64 of the read buffer, copied whole so that an arriving report cannot tear it.
    Report ReadBufferSnapshot() const;
    Report WriteBufferSnapshot() const;
    const std::string& DevicePath() const { return m_devicePath; }
    bool HasReadHandle() const { return m_readHandle.IsOpen(); }
    bool HasWriteHandle() const { return m_writeHandle.IsOpen(); }

private:
    void ReadThreadProc();
    // What the write thread has to do for the last accepted write.
    enum class WriteJob { None, Start, Finish };
    void PostWriteJob(WriteJob job);
    void WriteThreadProc();
    bool MatchesSupply(const std::string& path, std::uint32_t vendorId);

    HidPlatform& m_platform;
    Sleeper& m_sleeper;

    const std::uint8_t m_reportId = 0;
    const int m_reportSize = 64;
    mutable std::mutex m_readBufferMutex;
    std::array<std::uint8_t, kBufferSize> m_readBuffer{};
    std::array<std::uint8_t, kBufferSize> m_writeBuffer{};
    std::atomic<std::int32_t> m_writeBusy{0};
    std::atomic<std::int32_t> m_disconnected{1};
    std::string m_devicePath;
    HandleSlot m_readHandle{HandleSlot::Direction::Read};
    HandleSlot m_writeHandle{HandleSlot::Direction::Write};

    Event m_writeEvent{Event::ResetMode::Manual};
    Event m_readEvent{Event::ResetMode::Manual};
    std::atomic<WriteJob> m_writeJob{WriteJob::None};
    std::atomic<bool> m_stopping{false};
    std::thread m_writeThread;
    std::thread m_readThread;
};
