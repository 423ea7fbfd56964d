#pragma once

#include "device/HidPlatform.h"

#include <condition_variable>
#include <memory>
#include <mutex>

// Holds one of the channel's handles. A worker thread borrows it for a blocking call; replacing or closing it
// first cancels that call and waits until the worker has let go, so a handle is never closed while another
// thread is still inside a call on it.
class HandleSlot {
public:
    enum class Direction { Read, Write };

    explicit HandleSlot(Direction direction) : m_direction(direction) {}

    bool IsOpen() const;
    // Closes the current handle (if any) and stores the new one, which may be null.
    void Replace(std::unique_ptr<HidDeviceHandle> handle);
    // Cancels whatever a worker is doing on the current handle without closing it.
    void CancelPending();

    // The current handle for a call on the owner's thread (the only one that replaces it); may be null.
    HidDeviceHandle* Get() const;

    // Borrows the current handle for a worker; null when none is open. Give it back with Return().
    HidDeviceHandle* Borrow();
    void Return();

private:
    void Cancel(HidDeviceHandle& handle) const;

    const Direction m_direction;
    mutable std::mutex m_mutex;
    std::condition_variable m_returned;
    std::unique_ptr<HidDeviceHandle> m_handle;
    bool m_borrowed = false;
};
