#include "Resources.h"

#include "ResourceTable.h"

#include <algorithm>

namespace zres {

std::span<const std::uint8_t> EmbeddedResource(ResourceKind kind, int id) {
    const auto table = detail::ResourceTable();
    const auto found =
        std::ranges::find_if(table, [&](const auto& e) { return e.kind == kind && e.id == id; });
    return found == table.end() ? std::span<const std::uint8_t>{} : found->bytes;
}

std::span<const std::uint8_t> EmbeddedIconIco() {
    return detail::IconIco128();
}

} // namespace zres
