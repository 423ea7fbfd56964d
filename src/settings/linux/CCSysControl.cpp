#include "settings/CCSysControl.h"

#include "settings/linux/AtomicFile.h"
#include "settings/linux/InstallLayout.h"
#include "settings/linux/LinuxSettingsPlatform.h"
#include "settings/linux/RegularFile.h"
#include "settings/linux/XdgConfig.h"

#include <array>
#include <fcntl.h>
#include <optional>
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

// The keys through which the desktop's own autostart switch turns the entry off (Hidden from the autostart
// rules, the other from GNOME's settings): the user's choice, which a start must not undo.
constexpr std::array<std::string_view, 2> kUserChoiceKeys{"Hidden", "X-GNOME-Autostart-enabled"};

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The user's choice keys of the entry's main group, one line each as they were set (blanks around the
// equals sign dropped); the first of a key repeated counts.
std::string UserChoiceLines(std::string_view entry) {
    std::array<std::optional<std::string_view>, kUserChoiceKeys.size()> values;
    bool inMainGroup = false;
    while (!entry.empty()) {
        const std::size_t end = entry.find('\n');
        const std::string_view line = Trimmed(entry.substr(0, end));
        entry.remove_prefix(end == std::string_view::npos ? entry.size() : end + 1);
        if (line.starts_with('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        for (std::size_t i = 0; i < kUserChoiceKeys.size(); ++i) {
            if (Trimmed(line.substr(0, equals)) == kUserChoiceKeys[i] && !values[i]) {
                values[i] = Trimmed(line.substr(equals + 1));
            }
        }
    }
    std::string lines;
    for (std::size_t i = 0; i < kUserChoiceKeys.size(); ++i) {
        if (values[i]) {
            lines.append(kUserChoiceKeys[i]).append("=").append(*values[i]).append("\n");
        }
    }
    return lines;
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
    const std::string path = directory + "/" + valueName + ".desktop";
    // Started by the session from the home directory, the window would find no logo: Path= is where it is.
    const std::string entry = "[Desktop Entry]\nType=Application\nName=" + EscapeDesktopString(valueName) +
                              "\nExec=" + EscapeDesktopString(QuoteExecArgument(data)) +
                              "\nPath=" + EscapeDesktopString(install_layout::LogoDirectory(data)) +
                              "\nIcon=" + install_layout::kIconName + "\n" +
                              UserChoiceLines(ReadRegularFile(path, O_RDONLY).content);
    // As with the Run key, the outcome of the write itself is not reported.
    ReplaceFileAtomically(path, entry, 0644);
    return true;
}
