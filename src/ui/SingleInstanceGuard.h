#pragma once

#include <memory>
#include <string>

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

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
