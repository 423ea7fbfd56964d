#include "ui/SingleInstanceGuard.h"

#include "common/win32/Utf16.h"

#include <windows.h>

// A named mutex in the session's local namespace; the system closes the handle when the process ends.
struct SingleInstanceGuard::Impl {
    HANDLE mutex = nullptr;
    bool first = true;
};

SingleInstanceGuard::SingleInstanceGuard(const std::string& name) : m_impl(std::make_unique<Impl>()) {
    m_impl->mutex = CreateMutexW(nullptr, FALSE, Utf8ToUtf16(name).c_str());
    m_impl->first = GetLastError() != ERROR_ALREADY_EXISTS;
}

bool SingleInstanceGuard::IsHeld(const std::string& name) {
    // The mutex exists exactly as long as a copy holds a handle to it; opening it creates nothing.
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, Utf8ToUtf16(name).c_str());
    if (mutex == nullptr) {
        return false;
    }
    CloseHandle(mutex);
    return true;
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_impl->mutex != nullptr) {
        CloseHandle(m_impl->mutex);
    }
}

bool SingleInstanceGuard::IsFirstInstance() const {
    return m_impl->first;
}
