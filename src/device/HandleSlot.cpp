#include "device/HandleSlot.h"

bool HandleSlot::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_handle != nullptr;
}

void HandleSlot::Cancel(HidDeviceHandle& handle) const {
    if (m_direction == Direction::Read) {
        handle.CancelRead();
    } else {
        handle.CancelWrite();
    }
}

void HandleSlot::Replace(std::unique_ptr<HidDeviceHandle> handle) {
    std::unique_ptr<HidDeviceHandle> old;
    {
        std::unique_lock lock(m_mutex);
        if (m_handle) {
            Cancel(*m_handle);
            m_returned.wait(lock, [this] { return !m_borrowed; });
        }
        old = std::move(m_handle);
        m_handle = std::move(handle);
    }
    // old closes here, after no worker uses it any more.
}

void HandleSlot::CancelPending() {
    std::lock_guard lock(m_mutex);
    if (m_handle) {
        Cancel(*m_handle);
    }
}

HidDeviceHandle* HandleSlot::Get() const {
    std::lock_guard lock(m_mutex);
    return m_handle.get();
}

HidDeviceHandle* HandleSlot::Borrow() {
    std::lock_guard lock(m_mutex);
    if (!m_handle) {
        return nullptr;
    }
    m_borrowed = true;
    return m_handle.get();
}

void HandleSlot::Return() {
    {
        std::lock_guard lock(m_mutex);
        m_borrowed = false;
    }
    m_returned.notify_all();
}
