#include "support/AutostartSandbox.h"

#include "support/TempDirectory.h"

#include <cstdlib>
#include <sstream>

struct AutostartSandbox::State {
    TempDirectory configHome;
    std::optional<std::string> previous;
};

AutostartSandbox::AutostartSandbox() : m_state(std::make_unique<State>()) {
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
        m_state->previous = value;
    }
    ::setenv("XDG_CONFIG_HOME", m_state->configHome.Path().c_str(), 1);
}

AutostartSandbox::~AutostartSandbox() {
    if (m_state->previous) {
        ::setenv("XDG_CONFIG_HOME", m_state->previous->c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

std::optional<std::string> AutostartSandbox::Registered(const std::string& name) const {
    std::istringstream entry(ReadFileBytes(m_state->configHome.Path() / "autostart" / (name + ".desktop")));
    for (std::string line; std::getline(entry, line);) {
        if (line.starts_with("Exec=")) {
            return line.substr(5);
        }
    }
    return std::nullopt;
}
