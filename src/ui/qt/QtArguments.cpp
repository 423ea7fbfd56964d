#include "ui/qt/QtArguments.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// QGuiApplication's, QApplication's and the xcb platform's options, as Qt 6 documents and reads them.
constexpr std::array<std::string_view, 14> kWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title"};
constexpr std::array<std::string_view, 6> kFlags = {"reverse", "widgetcount", "sync",
                                                    "nograb",  "dograb",      "qmljsdebugger"};

template <std::size_t N> bool Names(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::vector<std::string> ProgramArguments(const std::vector<std::string>& commandLine) {
    std::vector<std::string> program;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        std::string_view arg = commandLine[i];
        // Qt reads its options with one dash or two.
        const std::size_t dashes = arg.starts_with("--") ? 2 : arg.starts_with("-") ? 1 : 0;
        std::string_view name = arg.substr(dashes);
        const std::size_t equals = name.find('=');
        const bool joined = equals != std::string_view::npos;
        name = name.substr(0, equals);
        if (dashes == 0) {
            program.push_back(commandLine[i]);
        } else if (Names(kWithValue, name)) {
            // Its value is the next argument unless given as "-name=value".
            if (!joined && i + 1 < commandLine.size()) {
                ++i;
            }
        } else if (!Names(kFlags, name)) {
            program.push_back(commandLine[i]);
        }
    }
    return program;
}
