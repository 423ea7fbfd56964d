#pragma once

#include "settings/linux/FileDescriptor.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

// A configuration file is only ever a regular file of sane size: a FIFO at its path would hold start-up in
// open() or read() for good, and a link to /dev/zero would be read until memory runs out.
constexpr off_t kMaxConfigFileBytes = 1 << 20;

struct RegularFile {
    FileDescriptor file; // open only when the content was read
    struct stat info {};
    std::string content;
    std::string refusal; // why the file was not read, for a message; empty when nothing is at the path
};

// Opens path with flags (O_RDONLY or O_RDWR) and reads it whole, if it is a regular file of at most
// kMaxConfigFileBytes. Anything else is neither opened nor read.
RegularFile ReadRegularFile(const std::string& path, int flags);

// Changes the content of the open file from old to replacement where it is, for when it cannot be replaced
// by a new file. Added bytes are written first, past the old end, so that a full disk stops the rewrite
// before any old byte has changed; the old bytes are put back when a later write fails.
bool RewriteInPlace(int fd, std::string_view old, std::string_view replacement);
