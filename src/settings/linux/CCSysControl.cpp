#include "settings/CCSysControl.h"

#include "settings/linux/AtomicFile.h"
#include "settings/linux/LinuxSettingsPlatform.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// On Linux the per-user Run key is the XDG autostart directory: a desktop entry named after the value,
// whose Exec line starts the executable.

namespace {

// The Exec key is a command line, so unlike the Run key's data a path with blanks or shell characters
// must be quoted, or the session would split or expand it.
bool NeedsQuoting(std::string_view path) {
    return path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
}

// Quoting of one argument: inside double quotes only these four are escaped. A literal percent sign is
// doubled there too, as the Exec key treats % as the start of a field code.
std::string QuoteExecArgument(std::string_view path) {
    const bool quoted = NeedsQuoting(path);
    std::string result = quoted ? "\"" : "";
    for (const char c : path) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            result += '\\';
        }
        result += c;
        if (c == '%') {
            result += '%';
        }
    }
    if (quoted) {
        result += '"';
    }
    return result;
}

// The escapes of every string value of a desktop file; applied after the quoting, so a backslash of the
// quoting is doubled once more (a literal backslash in a quoted path becomes four).
std::string EscapeDesktopString(std::string_view value) {
    std::string result;
    for (const char c : value) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result;
}

// $XDG_CONFIG_HOME when it holds an absolute path, else ~/.config; empty when no home can be found.
std::string ConfigHome() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.config" : std::string();
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the missing directories of an absolute path, as the base directory rules ask: with mode 0700.
bool MakeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return IsDirectory(path);
        }
    }
}

} // namespace

std::string CCSysControl::GetModulePath() {
    return LinuxSettingsPlatform::CurrentExecutablePath();
}

bool CCSysControl::SetAutoRun(const std::string& data, const std::string& valueName) {
    const std::string configHome = ConfigHome();
    if (configHome.empty()) {
        return false;
    }
    const std::string directory = configHome + "/autostart";
    if (!MakeDirectories(directory)) {
        return false;
    }
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=" +
                              EscapeDesktopString(valueName) +
                              "\n"
                              "Exec=" +
                              EscapeDesktopString(QuoteExecArgument(data)) + "\n";
    // As with the Run key, the outcome of the write itself is not reported.
    ReplaceFileAtomically(directory + "/" + valueName + ".desktop", entry, 0644);
    return true;
}
