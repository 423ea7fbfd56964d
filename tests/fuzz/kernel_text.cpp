// The kernel's texts as the Linux backend reads them: HID_ID properties, uevent messages and device node
// names.
#include "device/linux/DevnodeOrder.h"
#include "device/linux/HidId.h"
#include "device/linux/Uevent.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a field of hex digits; anything past 32 bits reads as 2^32.
std::uint64_t HexValue(std::string_view digits) {
    std::uint64_t value = 0;
    for (const char c : digits) {
        const auto digit = std::string_view("0123456789abcdef").find(static_cast<char>(c | 0x20));
        value = std::min<std::uint64_t>(value * 16 + digit, std::uint64_t{1} << 32);
    }
    return value;
}

// The number of a name "hidrawN" as the kernel writes it (no leading zero), small enough to compare directly.
std::optional<std::uint64_t> HidrawNumber(std::string_view name) {
    if (!name.starts_with("hidraw")) {
        return std::nullopt;
    }
    const auto digits = name.substr(6);
    if (digits.empty() || digits.size() > 18 || (digits.size() > 1 && digits.front() == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoull(std::string(digits));
}

void CheckHidId(std::string_view text) {
    const auto parsed = ParseHidId(text);
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto colon = text.find(':', start);
        fields.push_back(text.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    bool valid = fields.size() == 3;
    std::uint64_t ids[3] = {};
    for (std::size_t i = 0; valid && i < 3; ++i) {
        valid = !fields[i].empty() && std::all_of(fields[i].begin(), fields[i].end(), IsHexDigit);
        ids[i] = valid ? HexValue(fields[i]) : 0;
    }
    valid = valid && ids[0] <= 0xFFFFFFFF && ids[1] <= 0xFFFF && ids[2] <= 0xFFFF;
    Require(parsed.has_value() == valid, "a HID_ID parses when it is three hex fields that fit");
    if (parsed) {
        Require(parsed->vendorId == ids[1] && parsed->productId == ids[2],
                "a HID_ID gives its vendor and product");
        char again[32];
        std::snprintf(again, sizeof again, "%04X:%08X:%08X", static_cast<unsigned>(ids[0]),
                      static_cast<unsigned>(parsed->vendorId), static_cast<unsigned>(parsed->productId));
        const auto reparsed = ParseHidId(again);
        Require(reparsed && reparsed->vendorId == parsed->vendorId &&
                    reparsed->productId == parsed->productId,
                "the kernel's spelling of the same IDs parses the same");
    }
}

void CheckUevent(std::string_view message) {
    const auto summary = ParseKernelUevent(message);
    const auto headerEnd = message.find('\0');
    std::optional<std::string_view> action;
    std::optional<std::string_view> subsystem;
    if (headerEnd != std::string_view::npos) {
        for (std::size_t start = headerEnd + 1; start < message.size();) {
            const auto end = std::min(message.find('\0', start), message.size());
            const auto field = message.substr(start, end - start);
            if (field.starts_with("ACTION=")) {
                action = field.substr(7);
            } else if (field.starts_with("SUBSYSTEM=")) {
                subsystem = field.substr(10);
            }
            start = end + 1;
        }
    }
    const bool kernelMessage = headerEnd != std::string_view::npos &&
                               message.substr(0, headerEnd).find('@') != std::string_view::npos;
    Require(summary.has_value() == (kernelMessage && action && subsystem),
            "a uevent parses when it has a header with '@', an ACTION and a SUBSYSTEM");
    if (summary) {
        // The last of each, as the kernel never repeats one.
        Require(summary->action == *action && summary->subsystem == *subsystem,
                "a uevent's fields are its own");
        Require(summary->action.data() == action->data(), "the action is a view into the message");
        Require(IsWatchedChange(summary->action, summary->subsystem) ==
                    ((*action == "add" || *action == "remove") &&
                     (*subsystem == "hidraw" || *subsystem == "usb")),
                "only hidraw and usb nodes coming and going are watched");
    }
}

void CheckDevnodeOrder(std::string_view a, std::string_view b, std::string_view c) {
    Require(!DevnodeLess(a, a), "no name is before itself");
    Require(!(DevnodeLess(a, b) && DevnodeLess(b, a)), "two names are not each before the other");
    Require(a == b || DevnodeLess(a, b) || DevnodeLess(b, a), "two different names have an order");
    Require(!(DevnodeLess(a, b) && DevnodeLess(b, c)) || DevnodeLess(a, c), "the order is transitive");
    const auto numberA = HidrawNumber(a);
    const auto numberB = HidrawNumber(b);
    if (numberA && numberB) {
        Require(DevnodeLess(a, b) == (*numberA < *numberB), "hidraw nodes come in the kernel's number order");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckHidId(text);
    CheckUevent(text);
    // Three names separated by newlines.
    std::string_view names[3];
    std::string_view rest = text;
    for (std::string_view& name : names) {
        const auto end = rest.find('\n');
        name = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    CheckDevnodeOrder(names[0], names[1], names[2]);
    CheckDevnodeOrder(names[2], names[1], names[0]);
    return 0;
}
