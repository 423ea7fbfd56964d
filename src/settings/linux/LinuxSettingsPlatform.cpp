#include "settings/linux/LinuxSettingsPlatform.h"

#include "settings/IniText.h"
#include "settings/linux/AtomicFile.h"
#include "settings/linux/RegularFile.h"
#include "settings/linux/XdgConfig.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxValueChars = 127;

// A read-only file stays as it is, as the read-only attribute keeps it on Windows; checking the mode bits
// also holds for root, whom access() would let through.
bool IsWritable(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

// The path with every symbolic link followed; empty when it cannot be resolved.
std::string Resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Where an installed program lives: the install's own bin directory, or one of the system's.
bool IsInstalledBinDirectory(const std::string& directory) {
    static const char* const kBinDirectories[] = {
        ZEPHYRINE_INSTALL_BINDIR, "/usr/bin", "/bin", "/usr/local/bin", "/usr/sbin", "/sbin", "/usr/games"};
    const std::string resolved = Resolved(directory);
    return !resolved.empty() && std::any_of(std::begin(kBinDirectories), std::end(kBinDirectories),
                                            [&](const char* bin) { return Resolved(bin) == resolved; });
}

bool MayKeepFileIn(const std::string& directory, const std::string& fileName) {
    const std::string file = directory + "/" + fileName;
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
        return S_ISREG(info.st_mode) && IsWritable(file, info);
    }
    return errno == ENOENT && ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           IsWritable(directory, info);
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
    if (!directory.empty() && !IsInstalledBinDirectory(directory) && MayKeepFileIn(directory, fileName)) {
        return executablePath;
    }
    const std::string configHome = XdgConfigHome();
    if (configHome.empty()) {
        // No home at all (no $HOME, no passwd entry): there is nowhere else to try.
        return executablePath;
    }
    // When the directory cannot be made, the file cannot be created in it either, and nothing is kept.
    MakeDirectories(configHome + "/zephyrine");
    return configHome + "/zephyrine/" + executablePath.substr(slash + 1);
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
    const RegularFile file = ReadRegularFile(path, O_RDONLY);
    if (!file.refusal.empty()) {
        m_warnings << "Zephyrine: not reading the configuration file " << path << ": " << file.refusal
                   << '\n';
    }
    const auto value = file.file.get() >= 0 ? IniLookup(file.content, section, key) : std::nullopt;
    std::string result = value ? *value : defaultValue;
    if (result.size() > kMaxValueChars) {
        result.resize(kMaxValueChars);
    }
    return result;
}

bool LinuxSettingsPlatform::WriteProfileValue(const std::string& section, const std::string& key,
                                              const std::string& value, const std::string& path) {
    // A symbolic link stays one: the file it leads to gets the value, replaced in its own directory. A link
    // that leads nowhere is left alone.
    struct stat link {};
    const std::string target = ::lstat(path.c_str(), &link) == 0 ? Resolved(path) : path;
    if (target.empty()) {
        return false;
    }
    // Nothing that is not a regular file is written either; why was said when it was read.
    const RegularFile file = ReadRegularFile(target, O_RDWR);
    if (file.file.get() < 0) {
        return file.refusal.empty() &&
               ReplaceFileAtomically(target, IniAssign("", section, key, value), 0644);
    }
    if (!IsWritable(target, file.info)) {
        return false;
    }
    const std::string replacement = IniAssign(file.content, section, key, value);
    // The new file is ours, so it replaces the old one only when it can have the old one's owner, group, mode
    // and extended attributes (the ACL among them): a file two users share would otherwise stop being the
    // other's to write. Where it cannot (a file another user owns, whose owner only root may give; or a
    // directory this user may not write), the old file is rewritten in place instead. It then keeps all it
    // had and the value is not lost; what is given up is only safety from a crash in the middle of the write.
    return ReplaceFileKeepingAttributes(target, replacement, file.file.get(), file.info) ||
           RewriteInPlace(file.file.get(), file.content, replacement);
}
