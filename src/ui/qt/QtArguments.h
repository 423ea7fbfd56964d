#pragma once

#include <string>
#include <vector>

// The program's own arguments: the command line (without the program name) less the options that Qt's
// application classes and its X11 platform take for themselves (such as "-platform offscreen"), which Qt
// removes only once it runs, and it needs a display to run.
std::vector<std::string> ProgramArguments(const std::vector<std::string>& commandLine);
