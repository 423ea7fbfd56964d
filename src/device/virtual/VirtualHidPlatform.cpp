#include "device/virtual/VirtualHidPlatform.h"

#include <algorithm>

class VirtualHidPlatform::Handle final : public HidDeviceHandle {
public:
    Handle(VirtualHidPlatform& platform, std::size_t number) : m_platform(platform), m_number(number) {}
    ~Handle() override { m_platform.Close(m_number); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    std::optional<HidAttributes> GetAttributes() override { return m_platform.GetAttributes(m_number); }
    int Read(std::uint8_t* buffer, std::size_t length) override {
        return m_platform.Read(m_number, buffer, length);
    }
    void CancelRead() override { m_platform.CancelRead(m_number); }
    HidWriteStatus Write(const std::uint8_t* buffer, std::size_t length) override {
        return m_platform.Write(m_number, buffer, length);
    }
    void WaitForPendingWrite() override { m_platform.WaitForPendingWrite(m_number); }
    void CancelWrite() override { m_platform.CancelWrite(m_number); }

private:
    VirtualHidPlatform& m_platform;
    const std::size_t m_number;
};

void VirtualHidPlatform::AddSupply(const std::string& path) {
    AddInterface({.path = path, .isSupply = true});
}

void VirtualHidPlatform::AddInterface(VirtualInterface interface) {
    std::lock_guard lock(m_mutex);
    m_interfaces.push_back({.described = std::move(interface)});
}

void VirtualHidPlatform::SetListAvailable(bool available) {
    std::lock_guard lock(m_mutex);
    m_listAvailable = available;
}

VirtualHidPlatform::InterfaceState* VirtualHidPlatform::FindLocked(const std::string& path) {
    const auto it = std::find_if(m_interfaces.begin(), m_interfaces.end(),
                                 [&](const InterfaceState& state) { return state.described.path == path; });
    return it == m_interfaces.end() ? nullptr : &*it;
}

VirtualHidPlatform::InterfaceState* VirtualHidPlatform::FindPresentLocked(const std::string& path) {
    InterfaceState* state = FindLocked(path);
    return state != nullptr && state->present ? state : nullptr;
}

void VirtualHidPlatform::Unplug(const std::string& path) {
    {
        std::lock_guard lock(m_mutex);
        if (InterfaceState* state = FindLocked(path)) {
            state->present = false;
        }
    }
    m_changed.notify_all();
}

void VirtualHidPlatform::Plug(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (InterfaceState* state = FindLocked(path); state != nullptr && !state->present) {
        state->present = true;
        ++state->plugGeneration;
    }
}

bool VirtualHidPlatform::AliveLocked(const HandleState& handle) const {
    const InterfaceState& state = m_interfaces[handle.interfaceIndex];
    return handle.open && state.present && state.plugGeneration == handle.plugGeneration;
}

int VirtualHidPlatform::OpenOfAccessLocked(HidAccess access) const {
    return static_cast<int>(std::count_if(m_handles.begin(), m_handles.end(), [&](const HandleState& handle) {
        return handle.open && handle.access == access;
    }));
}

std::optional<std::vector<HidInterfaceEntry>> VirtualHidPlatform::EnumerateInterfaces() {
    std::lock_guard lock(m_mutex);
    ++m_enumerations;
    if (!m_listAvailable) {
        return std::nullopt;
    }
    std::vector<HidInterfaceEntry> entries;
    for (const InterfaceState& state : m_interfaces) {
        if (state.present) {
            entries.push_back({state.described.path, state.described.detailFetched});
        }
    }
    return entries;
}

std::unique_ptr<HidDeviceHandle> VirtualHidPlatform::Open(const std::string& path, HidAccess access) {
    std::lock_guard lock(m_mutex);
    InterfaceState* state = FindPresentLocked(path);
    if (state == nullptr) {
        return nullptr;
    }
    const VirtualInterface& described = state->described;
    if ((access == HidAccess::Query && described.queryOpenFails) ||
        (access == HidAccess::Read && described.readOpenFails) ||
        (access == HidAccess::Write && described.writeOpenFails)) {
        return nullptr;
    }
    m_handles.push_back({.interfaceIndex = static_cast<std::size_t>(state - m_interfaces.data()),
                         .plugGeneration = state->plugGeneration,
                         .access = access});
    const int kind = AccessIndex(access);
    ++m_opens[kind];
    m_maxOpenAtOnce[kind] = std::max(m_maxOpenAtOnce[kind], OpenOfAccessLocked(access));
    return std::make_unique<Handle>(*this, m_handles.size() - 1);
}

void VirtualHidPlatform::Close(std::size_t handle) {
    {
        std::lock_guard lock(m_mutex);
        HandleState& state = m_handles[handle];
        state.open = false;
        state.pendingWrite.reset();
        state.replies.clear();
        ++m_closed;
    }
    m_changed.notify_all();
}

std::optional<HidAttributes> VirtualHidPlatform::GetAttributes(std::size_t handle) {
    std::lock_guard lock(m_mutex);
    const HandleState& state = m_handles[handle];
    const VirtualInterface& described = m_interfaces[state.interfaceIndex].described;
    if (!AliveLocked(state) || described.attributesFail) {
        return std::nullopt;
    }
    return described.attributes;
}

int VirtualHidPlatform::Read(std::size_t handle, std::uint8_t* buffer, std::size_t length) {
    std::unique_lock lock(m_mutex);
    HandleState& state = m_handles[handle];
    if (state.access != HidAccess::Read) {
        return -1;
    }
    ++state.readsStarted;
    ++m_readsOutstanding;
    m_maxReadsOutstanding = std::max(m_maxReadsOutstanding, m_readsOutstanding);
    m_changed.wait(lock,
                   [&] { return state.readCancelled || !AliveLocked(state) || !state.replies.empty(); });
    --m_readsOutstanding;
    if (state.readCancelled || !AliveLocked(state)) {
        return -1;
    }
    const VirtualPowerSupply::Bytes reply = std::move(state.replies.front());
    state.replies.pop_front();
    const std::size_t count = std::min(length, reply.size());
    std::copy_n(reply.begin(), count, buffer);
    return static_cast<int>(count);
}

void VirtualHidPlatform::CancelRead(std::size_t handle) {
    {
        std::lock_guard lock(m_mutex);
        m_handles[handle].readCancelled = true;
    }
    m_changed.notify_all();
}

void VirtualHidPlatform::DeliverLocked(HandleState& writer, const VirtualPowerSupply::Bytes& report) {
    ++writer.writes;
    const InterfaceState& state = m_interfaces[writer.interfaceIndex];
    if (!state.described.isSupply) {
        return;
    }
    if (m_beforeReport) {
        m_beforeReport(m_supply);
    }
    const VirtualPowerSupply::Bytes reply = m_supply.HandleOutputReport(report);
    if (reply.empty()) {
        return;
    }
    // Like a HID driver, every read handle open on the interface gets its own copy of the input report.
    for (HandleState& reader : m_handles) {
        if (reader.access == HidAccess::Read && reader.interfaceIndex == writer.interfaceIndex &&
            AliveLocked(reader)) {
            reader.replies.push_back(reply);
        }
    }
}

HidWriteStatus VirtualHidPlatform::Write(std::size_t handle, const std::uint8_t* buffer, std::size_t length) {
    HidWriteStatus status = HidWriteStatus::Completed;
    {
        std::lock_guard lock(m_mutex);
        ++m_writeAttempts;
        HandleState& state = m_handles[handle];
        if (state.access != HidAccess::Write || !AliveLocked(state) || state.writeCancelled ||
            state.pendingWrite) {
            return HidWriteStatus::Failed;
        }
        VirtualPowerSupply::Bytes report(buffer, buffer + length);
        if (m_writesPending) {
            state.pendingWrite = std::move(report);
            status = HidWriteStatus::Pending;
        } else {
            DeliverLocked(state, report);
        }
    }
    m_changed.notify_all();
    return status;
}

void VirtualHidPlatform::SetWritesPending(bool pending) {
    std::lock_guard lock(m_mutex);
    m_writesPending = pending;
}

void VirtualHidPlatform::CompletePendingWrites() {
    {
        std::lock_guard lock(m_mutex);
        for (HandleState& state : m_handles) {
            if (state.pendingWrite && AliveLocked(state)) {
                DeliverLocked(state, *state.pendingWrite);
            }
            state.pendingWrite.reset();
        }
    }
    m_changed.notify_all();
}

void VirtualHidPlatform::WaitForPendingWrite(std::size_t handle) {
    std::unique_lock lock(m_mutex);
    HandleState& state = m_handles[handle];
    ++m_pendingWriteWaiters;
    m_changed.wait(lock, [&] { return !state.pendingWrite || state.writeCancelled || !AliveLocked(state); });
    --m_pendingWriteWaiters;
    // A write abandoned by cancellation or removal never reaches the interface.
    state.pendingWrite.reset();
}

void VirtualHidPlatform::CancelWrite(std::size_t handle) {
    {
        std::lock_guard lock(m_mutex);
        m_handles[handle].writeCancelled = true;
    }
    m_changed.notify_all();
}

int VirtualHidPlatform::OpenCount(HidAccess access) const {
    std::lock_guard lock(m_mutex);
    return m_opens[AccessIndex(access)];
}

int VirtualHidPlatform::MaxOpenAtOnce(HidAccess access) const {
    std::lock_guard lock(m_mutex);
    return m_maxOpenAtOnce[AccessIndex(access)];
}

int VirtualHidPlatform::OpenHandleCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_handles.begin(), m_handles.end(),
                                          [](const HandleState& state) { return state.open; }));
}

int VirtualHidPlatform::ClosedHandleCount() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

int VirtualHidPlatform::ReadsOutstanding() const {
    std::lock_guard lock(m_mutex);
    return m_readsOutstanding;
}

int VirtualHidPlatform::MaxReadsOutstanding() const {
    std::lock_guard lock(m_mutex);
    return m_maxReadsOutstanding;
}

int VirtualHidPlatform::PendingWriteCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_handles.begin(), m_handles.end(), [](const HandleState& state) {
        return state.pendingWrite.has_value();
    }));
}

int VirtualHidPlatform::PendingWriteWaiters() const {
    std::lock_guard lock(m_mutex);
    return m_pendingWriteWaiters;
}

int VirtualHidPlatform::WriteAttempts() const {
    std::lock_guard lock(m_mutex);
    return m_writeAttempts;
}

int VirtualHidPlatform::EnumerationCount() const {
    std::lock_guard lock(m_mutex);
    return m_enumerations;
}

std::vector<VirtualHidPlatform::HandleRecord> VirtualHidPlatform::Handles() const {
    std::lock_guard lock(m_mutex);
    std::vector<HandleRecord> records;
    for (const HandleState& state : m_handles) {
        records.push_back({m_interfaces[state.interfaceIndex].described.path, state.access, state.open,
                           state.readsStarted, state.writes});
    }
    return records;
}
