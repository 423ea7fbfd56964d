#include "settings/IniText.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

template <typename Char> using Text = std::basic_string<Char>;
template <typename Char> using View = std::basic_string_view<Char>;

struct Line {
    std::size_t begin; // offset of the first character
    std::size_t end;   // offset just past the text, before its line end
    std::size_t next;  // offset of the following line; equals end on a last line without a line end
};

// The profile functions end a line at CR LF, LF, or a CR on its own.
template <typename Char> std::vector<Line> SplitLines(View<Char> content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = pos;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r') {
            ++end;
        }
        std::size_t next = end;
        if (next < content.size()) {
            const bool crLf = content[next] == '\r' && next + 1 < content.size() && content[next + 1] == '\n';
            next += crLf ? 2 : 1;
        }
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

template <typename Char> View<Char> TextOf(View<Char> content, const Line& line) {
    return content.substr(line.begin, line.end - line.begin);
}

// What the profile functions trim: white space and the DOS end-of-file mark.
template <typename Char> bool IsBlank(Char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

template <typename Char> View<Char> Trim(View<Char> text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// ASCII letters only: the names this program asks for are ASCII.
template <typename Char> bool EqualsIgnoringCase(View<Char> a, View<Char> b) {
    const auto fold = [](Char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](Char x, Char y) { return fold(x) == fold(y); });
}

// The section name of a header line, or nullopt for any other line. The name ends at the line's first
// closing bracket, or at the line's end when it has none: Windows reads "[SYS" and "[SYS]]" as section SYS.
template <typename Char> std::optional<View<Char>> SectionName(View<Char> line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    return Trim(line.substr(1, line.find(']') - 1));
}

template <typename Char> struct Entry {
    View<Char> key;
    std::optional<View<Char>> value; // none on a line without an equals sign
};

// The profile functions take a line without an equals sign for a key without a value: reading it gives the
// default, and writing the key gives it one.
template <typename Char> Entry<Char> EntryOf(View<Char> line) {
    const auto equals = line.find('=');
    if (equals == View<Char>::npos) {
        return {Trim(line), std::nullopt};
    }
    return {Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

struct Location {
    bool sectionFound = false;
    std::optional<std::size_t> keyLine; // index of the key's line
    std::size_t insertAt = 0;           // offset where a missing line goes: after the section's last entry
    bool insertNeedsLineBreak = false;  // that last line has no line end of its own
};

template <typename Char>
Location Locate(View<Char> content, const std::vector<Line>& lines, View<Char> section, View<Char> key) {
    Location location;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const View<Char> text = TextOf(content, lines[i]);
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

template <typename Char>
std::optional<Text<Char>> Lookup(View<Char> content, View<Char> section, View<Char> key) {
    const auto lines = SplitLines(content);
    const Location location = Locate(content, lines, section, key);
    if (!location.keyLine) {
        return std::nullopt;
    }
    const auto entryValue = EntryOf(TextOf(content, lines[*location.keyLine])).value;
    if (!entryValue) {
        return std::nullopt;
    }
    View<Char> value = *entryValue;
    // The profile functions drop one pair of matching quotes around a value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Text<Char>(value);
}

template <typename Char> void AppendLineEnd(Text<Char>& text) {
    text.push_back('\r');
    text.push_back('\n');
}

template <typename Char>
Text<Char> Assign(View<Char> content, View<Char> section, View<Char> key, View<Char> value) {
    const auto lines = SplitLines(content);
    const Location location = Locate(content, lines, section, key);
    Text<Char> result;
    if (location.keyLine) {
        // The key keeps the spelling it has in the file, and the line its own line end.
        const Line& line = lines[*location.keyLine];
        result.append(content.substr(0, line.begin)).append(EntryOf(TextOf(content, line)).key);
        result.push_back('=');
        result.append(value);
        if (line.next == line.end) {
            AppendLineEnd(result);
        }
        return result.append(content.substr(line.end));
    }
    Text<Char> entry(key);
    entry.push_back('=');
    entry.append(value);
    AppendLineEnd(entry);
    if (location.sectionFound) {
        result.append(content.substr(0, location.insertAt));
        if (location.insertNeedsLineBreak) {
            AppendLineEnd(result);
        }
        return result.append(entry).append(content.substr(location.insertAt));
    }
    result.append(content);
    if (!lines.empty() && lines.back().next == lines.back().end) {
        AppendLineEnd(result);
    }
    result.push_back('[');
    result.append(section);
    result.push_back(']');
    AppendLineEnd(result);
    return result.append(entry);
}

// Notepad's "Unicode": UTF-16LE after the byte-order mark FF FE. The profile functions then read and write
// the file in UTF-16LE; a last odd byte is half a character and is dropped, as they drop it.
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

std::u16string Utf16LeUnits(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return units;
}

std::string Utf16LeBytes(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(2 * units.size());
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

constexpr char32_t kReplacement = 0xFFFD;

// Malformed sequences become U+FFFD, one for each byte that starts none.
std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string units;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : lead >> 5 == 0x6  ? 2
                                   : lead >> 4 == 0xE  ? 3
                                   : lead >> 3 == 0x1E ? 4
                                                       : 0;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            units.push_back(static_cast<char16_t>(kReplacement));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return units;
}

// An unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view units) {
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        const bool high = code >= 0xD800 && code <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            text.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            text.push_back(static_cast<char>(0xC0 | code >> 6));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            text.push_back(static_cast<char>(0xE0 | code >> 12));
            text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xF0 | code >> 18));
            text.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return text;
}

bool IsUtf16Le(std::string_view content) {
    return content.substr(0, kUtf16LeMark.size()) == kUtf16LeMark;
}

} // namespace

std::optional<std::string> IniLookup(std::string_view content, std::string_view section,
                                     std::string_view key) {
    if (!IsUtf16Le(content)) {
        return Lookup(content, section, key);
    }
    const std::u16string units = Utf16LeUnits(content.substr(kUtf16LeMark.size()));
    const auto value = Lookup<char16_t>(units, Utf16FromUtf8(section), Utf16FromUtf8(key));
    return value ? std::optional<std::string>(Utf8FromUtf16(*value)) : std::nullopt;
}

std::string IniAssign(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
    if (!IsUtf16Le(content)) {
        return Assign(content, section, key, value);
    }
    const std::u16string units = Utf16LeUnits(content.substr(kUtf16LeMark.size()));
    return std::string(kUtf16LeMark) +
           Utf16LeBytes(
               Assign<char16_t>(units, Utf16FromUtf8(section), Utf16FromUtf8(key), Utf16FromUtf8(value)));
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
