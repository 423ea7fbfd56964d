#pragma once

#include <string>
#include <sys/types.h>

// Replaces the file at path with content in one step: the content goes to a temporary file in the same
// directory, which is renamed over the old one, so a crash or a full disk never leaves a half-written file.
// False when anything failed; the old file (if any) is then left as it was.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode);
