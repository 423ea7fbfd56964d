#include "ui/SingleInstanceGuard.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The named mutex becomes an flock on "<name>.lock" in the user's runtime directory. The lock belongs to
// the open file description, so the kernel drops it when the process ends, however it ends, and a stale
// file left behind locks nothing.
struct SingleInstanceGuard::Impl {
    int descriptor = -1;
    bool first = true;
};

namespace {

// $XDG_RUNTIME_DIR is private to the user by definition. Without it, a directory of our own under /tmp,
// used only when it is really ours and closed to everybody else, so that no other user can hold the lock.
std::string LockDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    const std::string directory = "/tmp/zephyrine-" + std::to_string(::getuid());
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    struct stat status {};
    if (::lstat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & 077) != 0) {
        return {};
    }
    return directory;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const std::string& name) : m_impl(std::make_unique<Impl>()) {
    const std::string directory = LockDirectory();
    if (directory.empty()) {
        return;
    }
    const std::string path = directory + "/" + name + ".lock";
    m_impl->descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_impl->descriptor < 0) {
        return;
    }
    // Only a lock held elsewhere means another copy; any other failure lets this one run, as a mutex that
    // cannot be created does.
    if (::flock(m_impl->descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        m_impl->first = false;
    }
}

bool SingleInstanceGuard::IsHeld(const std::string& name) {
    const std::string directory = LockDirectory();
    if (directory.empty()) {
        return false;
    }
    const int descriptor =
        ::open((directory + "/" + name + ".lock").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        return false;
    }
    // A shared lock is refused only while a copy holds its exclusive one. It is let go at once: a copy
    // starting in that moment would take this process for another copy.
    const bool held = ::flock(descriptor, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_impl->descriptor >= 0) {
        ::close(m_impl->descriptor);
    }
}

bool SingleInstanceGuard::IsFirstInstance() const {
    return m_impl->first;
}
