#pragma once

#include "ui/framework/DialogCodes.h"

#include <cstdint>
#include <string_view>

namespace zui {

// One item as AppendMenuW takes it; a separator has no command and no text. The text is read while the
// call that is given the item runs, as the platform copies it into the menu.
struct MenuItem {
    std::uint32_t flags = MenuString;
    int commandId = 0;
    std::string_view text;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

} // namespace zui
