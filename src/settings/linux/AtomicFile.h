#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// Replaces the file at path with content in one step: the content goes to a temporary file in the same
// directory, which is renamed over the old one, so a crash or a full disk never leaves a half-written file.
// False when anything failed; the old file (if any) is then left as it was.

// The new file gets mode.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode);

// The new file gets the owner, group, mode and extended attributes (its ACL among them) of the old one, open
// as oldFd and described by old; when it cannot have them all, nothing is replaced.
bool ReplaceFileKeepingAttributes(const std::string& path, const std::string& content, int oldFd,
                                  const struct stat& old);
