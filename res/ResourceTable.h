#pragma once

#include "Resources.h"

namespace zres::detail {

struct ResourceEntry {
    ResourceKind kind;
    int id;
    std::span<const std::uint8_t> bytes;
};

// Both are generated at build time from the list in res/CMakeLists.txt.
std::span<const ResourceEntry> ResourceTable();
std::span<const std::uint8_t> IconIco128();

} // namespace zres::detail
