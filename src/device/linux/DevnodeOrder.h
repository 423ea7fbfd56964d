#pragma once

#include <string_view>

// Natural order of device node names, so that /dev/hidraw2 comes before /dev/hidraw10 and the search visits
// the nodes in the order the kernel numbered them.
bool DevnodeLess(std::string_view left, std::string_view right);
