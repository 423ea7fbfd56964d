// IniAssign then IniLookup on arbitrary 8-bit and UTF-16LE content: the written value reads back, every other
// line keeps its bytes, and writing the same value again changes nothing.
#include "settings/IniText.h"

#include "FuzzCheck.h"
#include "Utf8.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

template <typename Char> const Char* CrLf() {
    static const Char crLf[] = {'\r', '\n', '\0'};
    return crLf;
}

template <typename Char> struct Line {
    std::basic_string<Char> text;
    std::basic_string<Char> ending; // empty on a last line without one
};

// CR LF, LF and a lone CR each end a line.
template <typename Char> std::vector<Line<Char>> LinesOf(std::basic_string_view<Char> content) {
    std::vector<Line<Char>> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = pos;
        while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
            ++end;
        }
        std::size_t next = end;
        if (next < content.size()) {
            next += content.substr(next, 2) == std::basic_string_view<Char>(CrLf<Char>()) ? 2 : 1;
        }
        lines.push_back({std::basic_string<Char>(content.substr(pos, end - pos)),
                         std::basic_string<Char>(content.substr(end, next - end))});
        pos = next;
    }
    return lines;
}

bool IsBlank(char c) {
    return std::string_view(" \t\r\n\v\f\x1A").find(c) != std::string_view::npos;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.pop_back();
    }
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return std::string(first, text.end());
}

std::string Without(std::string text, std::string_view characters) {
    std::erase_if(text, [&](char c) { return characters.find(c) != std::string_view::npos; });
    return text;
}

std::u16string Utf16LeUnits(std::string_view bytes) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return units;
}

// original and written are the contents' lines. keyLine and header are what an added key line and section
// header read; only 8-bit content is compared with them, and for UTF-16 the read-back vouches for those
// lines.
template <typename Char>
void CheckOtherLinesKept(const std::vector<Line<Char>>& original, const std::vector<Line<Char>>& written,
                         const std::string& keyLine, const std::string& header) {
    const std::basic_string<Char> crLf = CrLf<Char>();
    const std::size_t n = original.size();
    Require(written.size() >= n && written.size() <= n + 2, "a write adds at most a header and a key line");
    const std::size_t added = written.size() - n;
    std::size_t k = 0; // the key's line in written
    if (added == 2) {
        k = n + 1;
    } else {
        while (k < n && written[k].text == original[k].text &&
               (added == 1 || written[k].ending == original[k].ending)) {
            ++k;
        }
    }
    const auto same = [&](std::size_t i, std::size_t j) { return written[i].text == original[j].text; };
    for (std::size_t j = 0; j < n; ++j) {
        if (added == 0 && j == k) {
            continue;
        }
        const std::size_t i = added == 1 && j >= k ? j + 1 : j;
        Require(same(i, j), "a line that is not the key's keeps its text");
        // A last line without a line end gets one when something is written after it.
        const bool endingAdded = added > 0 && j == n - 1 && original[j].ending.empty() && k > j;
        Require(written[i].ending == (endingAdded ? crLf : original[j].ending), "a line keeps its line end");
    }
    if (k < written.size()) {
        const bool replaced = added == 0 && k < n;
        Require(written[k].ending == (replaced && !original[k].ending.empty() ? original[k].ending : crLf),
                "the key's line ends as it did, or with CR LF");
    } else {
        Require(added == 0, "an added line is found");
    }
    if constexpr (sizeof(Char) == 1) {
        if (k < written.size()) {
            Require(written[k].text == keyLine || added == 0, "an added key line is key=value");
        }
        if (added == 2) {
            Require(written[n].text == header, "an added section starts with its header");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // flags, then section NUL key NUL value NUL content; flag bit 0 puts the UTF-16LE mark before the
    // content.
    if (size < 1) {
        return 0;
    }
    const bool addMark = (data[0] & 1) != 0;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string fields[3];
    for (std::string& field : fields) {
        const auto end = rest.find('\0');
        if (end == std::string_view::npos) {
            return 0;
        }
        field = rest.substr(0, end);
        rest.remove_prefix(end + 1);
    }
    const std::string content = (addMark ? std::string("\xFF\xFE") : std::string()) + std::string(rest);

    // Names and values the program could write: a line each, and no bracket or equals sign where it would
    // change what the line is.
    const std::string section = Trimmed(Without(fields[0], "\r\n]"));
    const std::string key = Trimmed(Without(fields[1], "\r\n="));
    const std::string value = Trimmed(Without(fields[2], "\r\n"));
    if (key.empty() || key.front() == '[') {
        return 0;
    }
    const bool utf16 = content.starts_with("\xFF\xFE");
    if (utf16 && !(IsValidUtf8(section) && IsValidUtf8(key) && IsValidUtf8(value))) {
        return 0;
    }

    const std::string written = IniAssign(content, section, key, value);
    std::string expected = value;
    if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') &&
        expected.back() == expected.front()) {
        expected = expected.substr(1, expected.size() - 2);
    }
    Require(IniLookup(written, section, key) == expected, "the written value reads back");
    Require(IniAssign(written, section, key, value) == written, "a second identical write changes nothing");

    if (utf16) {
        Require(written.starts_with("\xFF\xFE") && written.size() % 2 == 0, "UTF-16LE stays UTF-16LE");
        CheckOtherLinesKept<char16_t>(LinesOf<char16_t>(Utf16LeUnits(std::string_view(content).substr(2))),
                                      LinesOf<char16_t>(Utf16LeUnits(std::string_view(written).substr(2))),
                                      {}, {});
    } else {
        // The key keeps its spelling in the file: in a replaced line it is what came before the equals sign.
        const auto originalLines = LinesOf<char>(content);
        const auto writtenLines = LinesOf<char>(written);
        CheckOtherLinesKept<char>(originalLines, writtenLines, key + "=" + value, "[" + section + "]");
        for (std::size_t i = 0; i < std::min(originalLines.size(), writtenLines.size()); ++i) {
            if (writtenLines.size() == originalLines.size() &&
                writtenLines[i].text != originalLines[i].text) {
                const std::string& old = originalLines[i].text;
                Require(writtenLines[i].text == Trimmed(old.substr(0, old.find('='))) + "=" + value,
                        "a replaced key line keeps the key's spelling");
            }
        }
    }

    // ParseLeadingInt is atoi without its overflow.
    const long long wide = std::strtoll(value.c_str(), nullptr, 10);
    Require(ParseLeadingInt(value) == static_cast<int>(std::clamp<long long>(wide, INT_MIN, INT_MAX)),
            "ParseLeadingInt reads as strtoll, clamped");
    return 0;
}
