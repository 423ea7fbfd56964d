#pragma once

#include <string>

// Full path of the running executable (UTF-8) from GetModuleFileNameW into room for 260 characters, the null
// included: a longer path comes back cut to 259 characters.
std::string CurrentModuleFileName();
