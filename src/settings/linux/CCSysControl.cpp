#include "settings/CCSysControl.h"

#include "settings/linux/AtomicFile.h"
#include "settings/linux/LinuxSettingsPlatform.h"
#include "settings/linux/XdgConfig.h"

#include <string_view>

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

} // namespace

std::string CCSysControl::GetModulePath() {
    return LinuxSettingsPlatform::CurrentExecutablePath();
}

bool CCSysControl::SetAutoRun(const std::string& data, const std::string& valueName) {
    const std::string configHome = XdgConfigHome();
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
