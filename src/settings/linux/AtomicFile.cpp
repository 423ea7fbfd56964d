#include "settings/linux/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

bool WriteAll(int fd, const std::string& content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// prepare gives the temporary file what it needs before it takes the old one's place.
template <typename Prepare>
bool Replace(const std::string& path, const std::string& content, Prepare prepare) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, content) && prepare(fd) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// A file system without extended attributes has none to list.
std::vector<std::string> AttributeNames(int fd) {
    std::vector<char> names;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size <= 0) {
            return {};
        }
        names.resize(static_cast<std::size_t>(size));
        const ssize_t listed = ::flistxattr(fd, names.data(), names.size());
        if (listed >= 0) {
            names.resize(static_cast<std::size_t>(listed));
            break;
        }
        if (errno != ERANGE) {
            return {};
        }
    }
    std::vector<std::string> result;
    for (auto name = names.begin(); name != names.end();) {
        const auto end = std::find(name, names.end(), '\0');
        result.emplace_back(name, end);
        name = end == names.end() ? end : end + 1;
    }
    return result;
}

bool CopyAttribute(int from, int to, const std::string& name) {
    std::vector<char> value;
    for (;;) {
        const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (size < 0) {
            return false;
        }
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0;
        }
        if (errno != ERANGE) {
            return false;
        }
    }
}

// The new file gets the old one's attributes and loses those it had of its own, such as an ACL from the
// directory's default ACL. The security labels stay: the system gives those by its policy.
bool CopyAttributes(int from, int to) {
    const std::vector<std::string> wanted = AttributeNames(from);
    for (const std::string& name : wanted) {
        if (!CopyAttribute(from, to, name)) {
            return false;
        }
    }
    for (const std::string& name : AttributeNames(to)) {
        const bool label = std::string_view(name).substr(0, 9) == "security.";
        if (!label && std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(to, name.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

// Only root may give a file to another user, and a user only to a group of their own.
bool KeepOwner(int fd, const struct stat& old) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && ((info.st_uid == old.st_uid && info.st_gid == old.st_gid) ||
                                       ::fchown(fd, old.st_uid, old.st_gid) == 0);
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode) {
    // mkstemp creates the file as 0600; the mode is set before the rename so the file never appears with
    // the wrong permissions.
    return Replace(path, content, [mode](int fd) { return ::fchmod(fd, mode) == 0; });
}

bool ReplaceFileKeepingAttributes(const std::string& path, const std::string& content, int oldFd,
                                  const struct stat& old) {
    // The owner first: a change of owner clears the set-ID bits. The mode last: with an ACL, its group bits
    // are the ACL's mask, which the copied ACL has already set to the same.
    return Replace(path, content, [&](int fd) {
        return KeepOwner(fd, old) && CopyAttributes(oldFd, fd) && ::fchmod(fd, old.st_mode & 07777) == 0;
    });
}
