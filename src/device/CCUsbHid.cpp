#include "device/CCUsbHid.h"

#include <algorithm>
#include <cstring>

CCUsbHid::CCUsbHid(HidPlatform& platform, Sleeper& sleeper) : m_platform(platform), m_sleeper(sleeper) {
    m_writeThread = std::thread([this] { WriteThreadProc(); });
    m_readThread = std::thread([this] { ReadThreadProc(); });
}

CCUsbHid::~CCUsbHid() {
    m_stopping = true;
    m_readHandle.CancelPending();
    m_writeHandle.CancelPending();
    m_readEvent.Set();
    m_writeEvent.Set();
    m_readThread.join();
    m_writeThread.join();
    m_readHandle.Replace(nullptr);
    m_writeHandle.Replace(nullptr);
}

bool CCUsbHid::MatchesSupply(const std::string& path, std::uint32_t vendorId) {
    auto query = m_platform.Open(path, HidAccess::Query);
    if (!query) {
        return false;
    }
    const auto attributes = query->GetAttributes();
    query.reset();
    return attributes && attributes->vendorId == vendorId && attributes->productId == kProductId;
}

int CCUsbHid::OpenDevice(std::uint32_t vendorId) {
    m_disconnected = 1;
    const auto interfaces = m_platform.EnumerateInterfaces();
    if (!interfaces) {
        return 0;
    }
    for (const auto& entry : *interfaces) {
        if (!entry.detailFetched) {
            return 0;
        }
        m_devicePath = entry.path;
        if (!MatchesSupply(m_devicePath, vendorId)) {
            continue;
        }
        m_disconnected = 0;
        // The old read handle is closed only after the reader has left its pending read, so at most one read
        // is ever outstanding.
        m_readHandle.Replace(nullptr);
        m_readHandle.Replace(m_platform.Open(m_devicePath, HidAccess::Read));
        if (m_readHandle.IsOpen()) {
            m_readEvent.Set();
        }
        // A write not started yet was meant for the handle that goes now; dropped before the write thread is
        // waited for, so it can never start on the new one while a new write fills the buffer.
        m_writeJob = WriteJob::None;
        m_writeHandle.Replace(nullptr);
        m_writeHandle.Replace(m_platform.Open(m_devicePath, HidAccess::Write));
        if (m_writeHandle.IsOpen()) {
            m_writeBusy = 0;
        }
        return 1;
    }
    return 0;
}

int CCUsbHid::WriteReport(int length, const std::uint8_t* payload) {
    if (length < 0 || length > kBufferSize - 1 || m_disconnected == 1) {
        return 0;
    }
    HidDeviceHandle* handle = m_writeHandle.Get();
    if (handle == nullptr || m_writeBusy == 1) {
        return 0;
    }
    m_writeBuffer[0] = m_reportId;
    std::copy_n(payload, length, m_writeBuffer.begin() + 1);
    {
        std::lock_guard lock(m_readBufferMutex);
        m_readBuffer.fill(0);
    }
    m_writeBusy = 1;
    if (handle->WriteBlocks()) {
        // A hidraw write waits in the kernel's USB output path, up to its 5 s timeout on a stalled device; on
        // the caller's thread that would freeze the window on every poll tick.
        PostWriteJob(WriteJob::Start);
        return 1;
    }
    switch (handle->Write(m_writeBuffer.data(), static_cast<std::size_t>(m_reportSize + 1))) {
    case HidWriteStatus::Completed:
        m_sleeper.SleepMs(10);
        m_writeBusy = 0;
        return 1;
    case HidWriteStatus::Pending:
        // m_writeBusy stays 1 until the write thread has seen the write finish, so no second write can reuse
        // the buffer while the first is still in flight.
        PostWriteJob(WriteJob::Finish);
        return 1;
    case HidWriteStatus::Failed:
        break;
    }
    m_writeBusy = 0;
    return 0;
}

CCUsbHid::Report CCUsbHid::ReadBufferSnapshot() const {
    Report copy;
    std::lock_guard lock(m_readBufferMutex);
    std::copy_n(m_readBuffer.begin(), copy.size(), copy.begin());
    return copy;
}

CCUsbHid::Report CCUsbHid::WriteBufferSnapshot() const {
    Report copy;
    std::copy_n(m_writeBuffer.begin(), copy.size(), copy.begin());
    return copy;
}

void CCUsbHid::ReadThreadProc() {
    Report incoming;
    while (!m_stopping) {
        m_readEvent.Reset();
        // A stop request set just before the reset must not be lost.
        if (m_stopping) {
            break;
        }
        if (m_disconnected != 0) {
            m_readEvent.Wait();
            continue;
        }
        HidDeviceHandle* handle = m_readHandle.Borrow();
        if (handle == nullptr) {
            m_readEvent.Wait();
            continue;
        }
        const int received = handle->Read(incoming.data(), incoming.size());
        m_readHandle.Return();
        if (received > 0) {
            std::lock_guard lock(m_readBufferMutex);
            std::copy_n(incoming.begin(),
                        std::min<std::size_t>(static_cast<std::size_t>(received), incoming.size()),
                        m_readBuffer.begin());
        } else {
            // Removed or cancelled: nothing more comes from this handle, so wait for the next successful
            // search instead of spinning on it.
            m_readEvent.Wait();
        }
    }
}

void CCUsbHid::PostWriteJob(WriteJob job) {
    m_writeJob = job;
    m_writeEvent.Set();
}

void CCUsbHid::WriteThreadProc() {
    while (!m_stopping) {
        m_writeEvent.Wait();
        m_writeEvent.Reset();
        if (m_stopping) {
            break;
        }
        HidDeviceHandle* handle = m_writeHandle.Borrow();
        // Taken only while the handle is held: a search drops the job and then waits for the handle, so a job
        // is carried out on the handle it was posted for or not at all.
        const WriteJob job = m_writeJob.exchange(WriteJob::None);
        if (handle != nullptr) {
            if (job == WriteJob::Start) {
                if (handle->Write(m_writeBuffer.data(), static_cast<std::size_t>(m_reportSize + 1)) ==
                    HidWriteStatus::Pending) {
                    handle->WaitForPendingWrite();
                }
            } else if (job == WriteJob::Finish) {
                handle->WaitForPendingWrite();
            }
        }
        // Only a wake with a job clears the flag, and before the handle is given back: once it is, OpenDevice
        // may reopen and a new write may already be in flight, whose flag this must not clear.
        if (job != WriteJob::None) {
            m_writeBusy = 0;
        }
        if (handle != nullptr) {
            m_writeHandle.Return();
        }
    }
}
