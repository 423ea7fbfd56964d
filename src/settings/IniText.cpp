#include "settings/IniText.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

struct Line {
    std::size_t begin; // offset of the first character
    std::size_t end;   // offset just past the text, before CR LF or LF
    std::size_t next;  // offset of the following line
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t lf = content.find('\n', pos);
        const std::size_t next = lf == std::string_view::npos ? content.size() : lf + 1;
        std::size_t end = lf == std::string_view::npos ? content.size() : lf;
        if (end > pos && content[end - 1] == '\r') {
            --end;
        }
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// What the profile functions trim: white space, a stray carriage return, and the DOS end-of-file mark.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a header line "[name]", or nullopt for any other line. The name ends at the line's last
// closing bracket, as the profile functions read it.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const auto close = line.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::optional<std::string_view> value; // none on a line without an equals sign
};

// The profile functions take a line without an equals sign for a key without a value: reading it gives the
// default, and writing the key gives it one.
Entry EntryOf(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        return Entry{Trim(line), std::nullopt};
    }
    return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

struct Location {
    bool sectionFound = false;
    std::optional<std::size_t> keyLine; // index of the key's line
    std::size_t insertAt = 0;           // offset where a missing line goes: after the section's last entry
    bool insertNeedsLineBreak = false;  // that last line has no line break of its own
};

Location Locate(std::string_view content, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Location location;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        if (const auto name = SectionName(text)) {
            if (inSection) {
                break; // only the first section of that name counts
            }
            inSection = EqualsIgnoringCase(*name, section);
            if (inSection) {
                location.sectionFound = true;
                location.insertAt = lines[i].next;
                location.insertNeedsLineBreak = lines[i].next == lines[i].end;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (EqualsIgnoringCase(EntryOf(text).key, key)) {
            location.keyLine = i;
            return location;
        }
        if (!Trim(text).empty()) {
            location.insertAt = lines[i].next;
            location.insertNeedsLineBreak = lines[i].next == lines[i].end;
        }
    }
    return location;
}

} // namespace

std::optional<std::string> IniLookup(std::string_view content, std::string_view section,
                                     std::string_view key) {
    const auto lines = SplitLines(content);
    const Location location = Locate(content, lines, section, key);
    if (!location.keyLine) {
        return std::nullopt;
    }
    const Line& line = lines[*location.keyLine];
    const auto entryValue = EntryOf(content.substr(line.begin, line.end - line.begin)).value;
    if (!entryValue) {
        return std::nullopt;
    }
    std::string_view value = *entryValue;
    // The profile functions drop one pair of matching quotes around a value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string IniAssign(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
    const auto lines = SplitLines(content);
    const Location location = Locate(content, lines, section, key);
    std::string result;
    if (location.keyLine) {
        // The key keeps the spelling it has in the file.
        const Line& line = lines[*location.keyLine];
        const std::string_view fileKey = EntryOf(content.substr(line.begin, line.end - line.begin)).key;
        result.append(content.substr(0, line.begin))
            .append(fileKey)
            .append("=")
            .append(value)
            .append(content.substr(line.end));
        return result;
    }
    const std::string entry = std::string(key) + "=" + std::string(value);
    if (location.sectionFound) {
        result.append(content.substr(0, location.insertAt));
        if (location.insertNeedsLineBreak) {
            result.append("\r\n");
        }
        result.append(entry).append("\r\n").append(content.substr(location.insertAt));
        return result;
    }
    result.append(content);
    if (!content.empty() && content.back() != '\n') {
        result.append("\r\n");
    }
    result.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
    return result;
}

int ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t magnitude = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - '0'), std::int64_t{INT_MAX} + 1);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}
