#pragma once

#include <memory>
#include <optional>
#include <string>

// Keeps the autostart registration that the window makes at every start away from the user's own, for as
// long as it lives, and tells what was registered under a name. On Linux the XDG config home points into a
// fresh directory; on Windows the Run key's value is put back as it was.
class AutostartSandbox {
public:
    AutostartSandbox();
    ~AutostartSandbox();
    AutostartSandbox(const AutostartSandbox&) = delete;
    AutostartSandbox& operator=(const AutostartSandbox&) = delete;

    // What the entry of this name starts, as written (a path without blanks or reserved characters is
    // written as it is); nullopt when there is no such entry.
    std::optional<std::string> Registered(const std::string& name) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
