#include "device/linux/HidId.h"

#include <charconv>
#include <cstdint>

namespace {

std::optional<std::uint32_t> ParseHexField(std::string_view field) {
    std::uint32_t value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value, 16);
    if (field.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<HidAttributes> ParseHidId(std::string_view hidId) {
    const auto first = hidId.find(':');
    const auto second = first == std::string_view::npos ? first : hidId.find(':', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto bus = ParseHexField(hidId.substr(0, first));
    const auto vendor = ParseHexField(hidId.substr(first + 1, second - first - 1));
    const auto product = ParseHexField(hidId.substr(second + 1));
    if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    return HidAttributes{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}
