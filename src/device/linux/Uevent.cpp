#include "device/linux/Uevent.h"

#include <algorithm>
#include <iterator>

bool IsWatchedChange(std::string_view action, std::string_view subsystem) {
    const bool watchedSubsystem = std::any_of(std::begin(kWatchedSubsystems), std::end(kWatchedSubsystems),
                                              [&](const char* name) { return subsystem == name; });
    return watchedSubsystem && (action == "add" || action == "remove");
}

std::optional<UeventSummary> ParseKernelUevent(std::string_view message) {
    const auto headerEnd = message.find('\0');
    const auto header = message.substr(0, headerEnd);
    if (headerEnd == std::string_view::npos || header.find('@') == std::string_view::npos) {
        return std::nullopt;
    }
    std::optional<std::string_view> action;
    std::optional<std::string_view> subsystem;
    std::string_view rest = message.substr(headerEnd + 1);
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        const auto field = rest.substr(0, end);
        if (field.starts_with("ACTION=")) {
            action = field.substr(7);
        } else if (field.starts_with("SUBSYSTEM=")) {
            subsystem = field.substr(10);
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    if (!action || !subsystem) {
        return std::nullopt;
    }
    return UeventSummary{*action, *subsystem};
}
