#include "settings/linux/LinuxSettingsPlatform.h"

#include "settings/IniText.h"
#include "settings/linux/AtomicFile.h"
#include "settings/linux/XdgConfig.h"

#include <cerrno>
#include <climits>
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

std::string LinuxSettingsPlatform::ConfigAnchorPath(const std::string& executablePath,
                                                    const std::string& fileName) {
    const auto slash = executablePath.rfind('/');
    const std::string directory =
        slash == std::string::npos ? std::string() : executablePath.substr(0, slash);
    struct stat info {};
    const bool usable =
        !directory.empty() && ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (::access((directory + "/" + fileName).c_str(), F_OK) == 0 || ::access(directory.c_str(), W_OK) == 0);
    const std::string configHome = XdgConfigHome();
    if (usable || configHome.empty() || !MakeDirectories(configHome + "/zephyrine")) {
        return executablePath;
    }
    return configHome + "/zephyrine" +
           (slash == std::string::npos ? "/" + executablePath : executablePath.substr(slash));
}

bool LinuxSettingsPlatform::PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool LinuxSettingsPlatform::CreateNewFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    return file.get() >= 0;
}

std::string LinuxSettingsPlatform::ReadProfileValue(const std::string& section, const std::string& key,
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

bool LinuxSettingsPlatform::WriteProfileValue(const std::string& section, const std::string& key,
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
    return ReplaceFileAtomically(path, IniAssign(content, section, key, value), mode);
}
