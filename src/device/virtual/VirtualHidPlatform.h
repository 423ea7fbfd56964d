#pragma once

#include "device/HidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One interface the virtual platform lists, with the ways it can fail.
struct VirtualInterface {
    std::string path;
    HidAttributes attributes{0x04D8, 0x003F};
    // Writes reach the supply model and its replies come back on this interface's read handles; any other
    // interface swallows writes and never answers.
    bool isSupply = false;
    bool detailFetched = true;
    bool queryOpenFails = false;
    bool attributesFail = false;
    bool readOpenFails = false;
    bool writeOpenFails = false;
};

// The HID seam over a list of virtual interfaces, one of which is usually the supply model, so that the
// report channel talks to it as to hardware. Thread-safe: the window, reader and write threads and the
// test may call it at once. The platform must outlive every handle it opened.
class VirtualHidPlatform final : public HidPlatform {
public:
    static constexpr const char* kSupplyPath = "virtual:04d8:003f";

    // What a test can learn about one handle; handles are numbered in the order they were opened.
    struct HandleRecord {
        std::string path;
        HidAccess access;
        bool open;
        int readsStarted;
        int writes; // writes that reached the interface (completed, not pending, failed or abandoned)
    };

    // beforeReport, when given, runs on the model under the platform's lock before the supply answers each
    // output report: a model that follows a clock catches up there instead of waking a thread to do it.
    using ReportHook = std::function<void(VirtualPowerSupply&)>;
    explicit VirtualHidPlatform(VirtualPowerSupply& supply, ReportHook beforeReport = {})
        : m_supply(supply), m_beforeReport(std::move(beforeReport)) {}
    ~VirtualHidPlatform() override = default;
    VirtualHidPlatform(const VirtualHidPlatform&) = delete;
    VirtualHidPlatform& operator=(const VirtualHidPlatform&) = delete;

    // The list, in enumeration order.
    void AddSupply(const std::string& path = kSupplyPath);
    void AddInterface(VirtualInterface interface);
    // When false, EnumerateInterfaces() cannot obtain a list at all.
    void SetListAvailable(bool available);

    // Unplugging fails the pending and later reads (-1) and writes of the interface's open handles, which
    // stay dead after a re-plug; enumeration leaves the interface out until Plug().
    void Unplug(const std::string& path = kSupplyPath);
    void Plug(const std::string& path = kSupplyPath);

    // While on, every write goes Pending and reaches the interface only through CompletePendingWrites().
    void SetWritesPending(bool pending);
    void CompletePendingWrites();

    // Runs fn on the model under the platform's lock, for callers on other threads than the writer.
    template <typename Fn> auto WithSupply(Fn&& fn) {
        std::lock_guard lock(m_mutex);
        return fn(m_supply);
    }

    int OpenCount(HidAccess access) const;
    // The most handles of this access that were ever open at the same time.
    int MaxOpenAtOnce(HidAccess access) const;
    int OpenHandleCount() const;
    int ClosedHandleCount() const;
    int ReadsOutstanding() const;
    int MaxReadsOutstanding() const;
    int PendingWriteCount() const;
    // Threads inside WaitForPendingWrite() now.
    int PendingWriteWaiters() const;
    int WriteAttempts() const;
    int EnumerationCount() const;
    std::vector<HandleRecord> Handles() const;

    std::optional<std::vector<HidInterfaceEntry>> EnumerateInterfaces() override;
    std::unique_ptr<HidDeviceHandle> Open(const std::string& path, HidAccess access) override;

private:
    class Handle;
    friend class Handle;

    struct InterfaceState {
        VirtualInterface described;
        bool present = true;
        int plugGeneration = 0; // handles of an earlier plug-in stay dead
    };

    struct HandleState {
        std::size_t interfaceIndex;
        int plugGeneration;
        HidAccess access;
        bool open = true;
        bool readCancelled = false;
        bool writeCancelled = false;
        std::deque<VirtualPowerSupply::Bytes> replies{};
        std::optional<VirtualPowerSupply::Bytes> pendingWrite{};
        int readsStarted = 0;
        int writes = 0;
    };

    static int AccessIndex(HidAccess access) { return static_cast<int>(access); }
    InterfaceState* FindPresentLocked(const std::string& path);
    InterfaceState* FindLocked(const std::string& path);
    bool AliveLocked(const HandleState& handle) const;
    int OpenOfAccessLocked(HidAccess access) const;
    void DeliverLocked(HandleState& writer, const VirtualPowerSupply::Bytes& report);

    // The handle operations, by handle number.
    std::optional<HidAttributes> GetAttributes(std::size_t handle);
    int Read(std::size_t handle, std::uint8_t* buffer, std::size_t length);
    void CancelRead(std::size_t handle);
    HidWriteStatus Write(std::size_t handle, const std::uint8_t* buffer, std::size_t length);
    void WaitForPendingWrite(std::size_t handle);
    void CancelWrite(std::size_t handle);
    void Close(std::size_t handle);

    VirtualPowerSupply& m_supply;
    const ReportHook m_beforeReport;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<InterfaceState> m_interfaces;
    // Never shrinks, so a handle's number stays valid after it closed.
    std::deque<HandleState> m_handles;
    bool m_listAvailable = true;
    bool m_writesPending = false;
    int m_opens[3] = {};
    int m_maxOpenAtOnce[3] = {};
    int m_closed = 0;
    int m_readsOutstanding = 0;
    int m_maxReadsOutstanding = 0;
    int m_writeAttempts = 0;
    int m_pendingWriteWaiters = 0;
    int m_enumerations = 0;
};
