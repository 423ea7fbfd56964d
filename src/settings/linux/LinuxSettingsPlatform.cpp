#include "settings/linux/LinuxSettingsPlatform.h"

#include "settings/IniText.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxValueChars = 127;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::optional<std::string> ReadWholeFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return std::nullopt;
    }
    std::string content;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            return content;
        }
        content.append(chunk, static_cast<std::size_t>(n));
    }
}

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

// A read-only file stays as it is, as the read-only attribute keeps it on Windows; checking the mode bits
// also holds for root, whom access() would let through.
bool IsWritableFile(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

} // namespace

std::string LinuxSettingsPlatform::CurrentExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool LinuxSettingsPlatform::PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool LinuxSettingsPlatform::CreateNewFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    return file.get() >= 0;
}

std::string LinuxSettingsPlatform::GetProfileString(const std::string& section, const std::string& key,
                                                    const std::string& defaultValue,
                                                    const std::string& path) {
    const auto content = ReadWholeFile(path);
    std::optional<std::string> value;
    if (content) {
        value = IniLookup(*content, section, key);
    }
    std::string result = value ? *value : defaultValue;
    if (result.size() > kMaxValueChars) {
        result.resize(kMaxValueChars);
    }
    return result;
}

bool LinuxSettingsPlatform::WriteProfileString(const std::string& section, const std::string& key,
                                               const std::string& value, const std::string& path) {
    struct stat info {};
    std::string content;
    mode_t mode = 0644;
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || !IsWritableFile(path, info)) {
            return false;
        }
        const auto existing = ReadWholeFile(path);
        if (!existing) {
            return false;
        }
        content = *existing;
        mode = info.st_mode & 07777;
    }
    const std::string updated = IniAssign(content, section, key, value);

    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        return false;
    }
    const bool written = WriteAll(file.get(), updated) && ::fchmod(file.get(), mode) == 0 &&
                         ::fsync(file.get()) == 0 && file.Close();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
