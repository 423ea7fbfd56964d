#include "settings/linux/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string KindOf(mode_t mode) {
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return "a directory";
    case S_IFIFO:
        return "a FIFO";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    default:
        return "not a file";
    }
}

// Empty when a file with these details may be read.
std::string RefusalFor(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return "it is " + KindOf(info.st_mode) + ", not a regular file";
    }
    if (info.st_size > kMaxConfigFileBytes) {
        return "it is larger than 1 MiB";
    }
    return {};
}

bool WriteAllAt(int fd, std::string_view bytes, std::size_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::size_t>(n);
    }
    return true;
}

// After a failed write; when this fails too, there is nothing left to try.
void PutBack(int fd, std::string_view old, std::size_t from) {
    if (WriteAllAt(fd, old.substr(from), from)) {
        while (::ftruncate(fd, static_cast<off_t>(old.size())) != 0 && errno == EINTR) {
        }
    }
}

} // namespace

RegularFile ReadRegularFile(const std::string& path, int flags) {
    RegularFile result;
    // The path is looked at before it is opened: opening a device can do something by itself.
    if (::stat(path.c_str(), &result.info) != 0) {
        if (errno != ENOENT) {
            result.refusal = std::strerror(errno);
        }
        return result;
    }
    result.refusal = RefusalFor(result.info);
    if (!result.refusal.empty()) {
        return result;
    }
    // O_NONBLOCK: should a FIFO have taken the file's place since, open() returns at once, and fstat tells.
    FileDescriptor file(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &result.info) != 0) {
        result.refusal = std::strerror(errno);
        return result;
    }
    result.refusal = RefusalFor(result.info);
    if (!result.refusal.empty()) {
        return result;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.refusal = std::strerror(errno);
            result.content.clear();
            return result;
        }
        if (n == 0) {
            break;
        }
        result.content.append(chunk, static_cast<std::size_t>(n));
        if (result.content.size() > static_cast<std::size_t>(kMaxConfigFileBytes)) {
            result.refusal = "it is larger than 1 MiB";
            result.content.clear();
            return result;
        }
    }
    result.file = std::move(file);
    return result;
}

bool RewriteInPlace(int fd, std::string_view old, std::string_view replacement) {
    if (replacement.size() > old.size() && !WriteAllAt(fd, replacement.substr(old.size()), old.size())) {
        PutBack(fd, old, old.size());
        return false;
    }
    const std::size_t common = std::min(old.size(), replacement.size());
    const std::size_t first = static_cast<std::size_t>(
        std::mismatch(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(common), replacement.begin())
            .first -
        old.begin());
    if (!WriteAllAt(fd, replacement.substr(first, common - first), first)) {
        PutBack(fd, old, first);
        return false;
    }
    return ::ftruncate(fd, static_cast<off_t>(replacement.size())) == 0 && ::fsync(fd) == 0;
}
