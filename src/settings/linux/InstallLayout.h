#pragma once

#include <string>

// Where the install rules (packaging/CMakeLists.txt) put what the program looks for at run time; a change
// there is answered here.
namespace install_layout {

// The name the installed desktop entry gives the icon (share/icons/hicolor/.../zephyrine.png).
inline constexpr const char* kIconName = "zephyrine";

// The directory that holds "logo.png", which the window reads from its current directory: the installed
// data directory, found from the executable's place so that any prefix works, or else (a build tree) the
// executable's own directory.
std::string LogoDirectory(const std::string& executablePath);

} // namespace install_layout
