#include "device/win32/Win32HidPlatform.h"

#include "common/win32/Utf16.h"

#include <windows.h>

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <atomic>
#include <new>

namespace {

constexpr DWORD kEnumerationFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE; // 0x12
static_assert(kEnumerationFlags == 0x12);
// The sizes the system checks in cbSize and Size: 28 and 6 in a 32-bit build, 32 and 8 in a 64-bit one.
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == (sizeof(void*) == 8 ? 32 : 28));
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == (sizeof(void*) == 8 ? 8 : 6));
static_assert(sizeof(HIDD_ATTRIBUTES) == 12);

// A manual-reset event, not signalled at first; closed with its owner.
class ManualEvent {
public:
    ManualEvent() : m_handle(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~ManualEvent() {
        if (m_handle != nullptr) {
            CloseHandle(m_handle);
        }
    }
    ManualEvent(const ManualEvent&) = delete;
    ManualEvent& operator=(const ManualEvent&) = delete;

    HANDLE Get() const { return m_handle; }
    void Set() { SetEvent(m_handle); }
    bool IsSet() const { return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0; }

private:
    HANDLE m_handle;
};

// One transfer direction of a handle: its OVERLAPPED with the completion event, and the sticky cancel event.
struct Transfer {
    ManualEvent done;
    ManualEvent cancel;
    OVERLAPPED overlapped{};

    Transfer() { overlapped.hEvent = done.Get(); }

    void Start() {
        const HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ResetEvent(event);
    }

    // Waits for completion or cancellation and returns the bytes moved, -1 when cancelled or failed. A
    // cancelled transfer is still waited for, so that neither the buffer nor the OVERLAPPED is in use once
    // this returns: a reopen can then never leave two reads outstanding.
    int Finish(HANDLE file) {
        const HANDLE events[] = {done.Get(), cancel.Get()};
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0) {
            CancelIoEx(file, &overlapped);
        }
        DWORD moved = 0;
        const BOOL completed = GetOverlappedResult(file, &overlapped, &moved, TRUE);
        return completed && woken == WAIT_OBJECT_0 ? static_cast<int>(moved) : -1;
    }
};

class Win32HidHandle final : public HidDeviceHandle {
public:
    explicit Win32HidHandle(HANDLE file) : m_file(file) {}

    ~Win32HidHandle() override {
        // The system may still write into the OVERLAPPED of a write nobody waited for.
        if (m_writePending) {
            m_write.cancel.Set();
            WaitForPendingWrite();
        }
        CloseHandle(m_file);
    }

    Win32HidHandle(const Win32HidHandle&) = delete;
    Win32HidHandle& operator=(const Win32HidHandle&) = delete;

    std::optional<HidAttributes> GetAttributes() override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(m_file, &attributes)) {
            return std::nullopt;
        }
        return HidAttributes{attributes.VendorID, attributes.ProductID};
    }

    int Read(std::uint8_t* buffer, std::size_t length) override {
        if (m_read.cancel.IsSet()) {
            return -1;
        }
        m_read.Start();
        if (!ReadFile(m_file, buffer, static_cast<DWORD>(length), nullptr, &m_read.overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return -1;
        }
        return m_read.Finish(m_file);
    }

    void CancelRead() override { m_read.cancel.Set(); }

    HidWriteStatus Write(const std::uint8_t* buffer, std::size_t length) override {
        m_write.Start();
        if (WriteFile(m_file, buffer, static_cast<DWORD>(length), nullptr, &m_write.overlapped)) {
            return HidWriteStatus::Completed;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_SUCCESS) {
            return HidWriteStatus::Failed;
        }
        m_writePending = true;
        return HidWriteStatus::Pending;
    }

    void WaitForPendingWrite() override {
        if (!m_writePending) {
            return;
        }
        m_write.Finish(m_file);
        m_writePending = false;
    }

    void CancelWrite() override { m_write.cancel.Set(); }

private:
    HANDLE m_file;
    Transfer m_read;
    Transfer m_write;
    std::atomic<bool> m_writePending{false};
};

DWORD DesiredAccess(HidAccess access) {
    switch (access) {
    case HidAccess::Read:
        return GENERIC_READ;
    case HidAccess::Write:
        return GENERIC_WRITE;
    case HidAccess::Query:
        break;
    }
    return 0;
}

// The interface's DevicePath, or nullopt when its detail record cannot be had.
std::optional<std::string> InterfacePath(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& interfaceData) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(list, &interfaceData, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        return std::nullopt;
    }
    void* block = ::operator new(required, std::nothrow);
    if (block == nullptr) {
        return std::nullopt;
    }
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(block);
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W); // the fixed part only
    std::optional<std::string> path;
    if (SetupDiGetDeviceInterfaceDetailW(list, &interfaceData, detail, required, nullptr, nullptr)) {
        path = Utf16ToUtf8(detail->DevicePath);
    }
    ::operator delete(block);
    return path;
}

} // namespace

std::optional<std::vector<HidInterfaceEntry>> Win32HidPlatform::EnumerateInterfaces() {
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    const HDEVINFO list = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, kEnumerationFlags);
    if (list == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<HidInterfaceEntry> entries;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(list, nullptr, &hidClass, index, &interfaceData);
         ++index) {
        const auto path = InterfacePath(list, interfaceData);
        if (!path) {
            // The channel's search ends at an interface whose path cannot be had.
            entries.push_back({std::string(), false});
            break;
        }
        entries.push_back({*path, true});
    }
    SetupDiDestroyDeviceInfoList(list);
    return entries;
}

std::unique_ptr<HidDeviceHandle> Win32HidPlatform::Open(const std::string& path, HidAccess access) {
    const HANDLE file =
        CreateFileW(Utf8ToUtf16(path).c_str(), DesiredAccess(access), FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32HidHandle>(file);
}
