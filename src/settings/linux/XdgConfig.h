#pragma once

#include <string>

// $XDG_CONFIG_HOME when it holds an absolute path, else ~/.config; empty when no home can be found.
std::string XdgConfigHome();

// Creates the missing directories of an absolute path, as the base directory rules ask: with mode 0700. True
// when the path is a directory afterwards.
bool MakeDirectories(const std::string& path);
