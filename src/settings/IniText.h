#pragma once

#include <optional>
#include <string>
#include <string_view>

// The private-profile format, done on file contents in memory for platforms without the profile functions.
// Section and key names match without regard to letter case, as those functions do. The content is the file's
// bytes: 8-bit text, or UTF-16LE after its byte-order mark; names and values are UTF-8 either way.

// The value of key in section, blanks around it removed; nullopt when the section or the key is missing, or
// when the key's line has no equals sign.
std::optional<std::string> IniLookup(std::string_view content, std::string_view section,
                                     std::string_view key);

// The content with key of section set to value. Only that key's line changes, and the key keeps its spelling
// there; a missing line is added at the end of its section and a missing section at the end of the file.
// Every other byte stays as it was, save a line end added to a last line that had none.
std::string IniAssign(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value);

// atoi: leading blanks, an optional sign, decimal digits up to the first other character; 0 without digits.
// Out-of-range values saturate instead of overflowing.
int ParseLeadingInt(std::string_view text);
