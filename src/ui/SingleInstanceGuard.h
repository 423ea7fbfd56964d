#pragma once

#include <memory>
#include <string>

// The name the window's copies share.
inline constexpr const char* kWindowInstanceName = "Zephyrine";

// One copy of the program per logged-on user: the first instance holds a named lock for its whole life, and
// the system releases it when the process ends, however it ends. Each platform implements this in its own
// file.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const std::string& name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False when another process of this user already holds the lock.
    bool IsFirstInstance() const;
    // Whether a process of this user holds the lock now, asked without taking it from that process or
    // keeping it from one that starts.
    static bool IsHeld(const std::string& name);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// What the application asks of the lock: hold the named lock for the process's life, or learn that another
// copy holds it. The program hands in a SystemInstanceLock, the window's tests a fake.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock; false when another copy of this user holds it.
    virtual bool AcquireFirstInstance(const std::string& name) = 0;
};

class SystemInstanceLock final : public InstanceLock {
public:
    bool AcquireFirstInstance(const std::string& name) override {
        m_guard = std::make_unique<SingleInstanceGuard>(name);
        return m_guard->IsFirstInstance();
    }

private:
    std::unique_ptr<SingleInstanceGuard> m_guard;
};
