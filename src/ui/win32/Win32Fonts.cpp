#include "ui/win32/Win32Fonts.h"

#include "common/win32/Utf16.h"
#include "ui/framework/FontSizes.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

using Bytes = std::span<const std::uint8_t>;

// Whether length bytes from offset lie within bytes, without overflowing on hostile numbers.
bool Holds(Bytes bytes, std::size_t offset, std::size_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Big-endian fields, read where Holds has already vouched for them.
std::uint16_t U16(Bytes bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}
std::uint32_t U32(Bytes bytes, std::size_t at) {
    return std::uint32_t{U16(bytes, at)} << 16 | U16(bytes, at + 2);
}

constexpr std::uint32_t Tag(const char (&name)[5]) {
    return std::uint32_t{static_cast<std::uint8_t>(name[0])} << 24 |
           std::uint32_t{static_cast<std::uint8_t>(name[1])} << 16 |
           std::uint32_t{static_cast<std::uint8_t>(name[2])} << 8 | static_cast<std::uint8_t>(name[3]);
}

// The 'name' table of a single sfnt font; empty when the table directory is not one or any table it lists
// runs past the end: a truncated file, which GDI may take all the same (Wine 8 registers one that has lost
// its last byte).
Bytes NameTable(Bytes font) {
    constexpr std::size_t kHeaderSize = 12;
    constexpr std::size_t kRecordSize = 16;
    if (!Holds(font, 0, kHeaderSize)) {
        return {};
    }
    const std::uint32_t version = U32(font, 0);
    if (version != 0x00010000 && version != Tag("OTTO") && version != Tag("true")) {
        return {};
    }
    const std::size_t tableCount = U16(font, 4);
    if (!Holds(font, kHeaderSize, tableCount * kRecordSize)) {
        return {};
    }
    Bytes name;
    for (std::size_t i = 0; i < tableCount; ++i) {
        const std::size_t record = kHeaderSize + i * kRecordSize;
        const std::uint32_t offset = U32(font, record + 8);
        const std::uint32_t length = U32(font, record + 12);
        if (!Holds(font, offset, length)) {
            return {};
        }
        if (U32(font, record) == Tag("name")) {
            name = font.subspan(offset, length);
        }
    }
    return name;
}

constexpr std::uint16_t kMacintosh = 1;
constexpr std::uint16_t kWindows = 3;

// How much a family name entry is preferred, 0 for one that is never read: the US English Windows entry,
// then any Windows entry, then a Macintosh Roman one.
int Preference(std::uint16_t platform, std::uint16_t encoding, std::uint16_t language) {
    constexpr std::uint16_t kUnicodeBmp = 1;
    constexpr std::uint16_t kUsEnglish = 0x0409;
    constexpr std::uint16_t kRoman = 0;
    if (platform == kWindows) {
        return encoding == kUnicodeBmp && language == kUsEnglish ? 3 : 2;
    }
    return platform == kMacintosh && encoding == kRoman ? 1 : 0;
}

// Windows entries are UTF-16BE whatever their encoding; a Macintosh one is taken only when it is plain ASCII,
// the part of Mac Roman that needs no table.
std::optional<std::string> DecodeName(std::uint16_t platform, Bytes text) {
    std::string name;
    if (platform == kWindows) {
        std::wstring utf16;
        for (std::size_t at = 0; at + 1 < text.size(); at += 2) {
            utf16.push_back(static_cast<wchar_t>(U16(text, at)));
        }
        name = Utf16ToUtf8(utf16);
    } else if (std::ranges::all_of(text, [](std::uint8_t byte) { return byte < 0x80; })) {
        name.assign(text.begin(), text.end());
    }
    return name.empty() ? std::nullopt : std::optional(name);
}

// nameID 1, the family GDI lists the font under, from the entry Preference likes best.
std::optional<std::string> FamilyName(Bytes table) {
    constexpr std::size_t kHeaderSize = 6;
    constexpr std::size_t kRecordSize = 12;
    constexpr std::uint16_t kFamilyNameId = 1;
    if (!Holds(table, 0, kHeaderSize)) {
        return std::nullopt;
    }
    const std::size_t count = U16(table, 2);
    const std::size_t storage = U16(table, 4);
    if (!Holds(table, kHeaderSize, count * kRecordSize)) {
        return std::nullopt;
    }
    std::optional<std::string> best;
    int bestPreference = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = kHeaderSize + i * kRecordSize;
        const std::uint16_t platform = U16(table, record);
        const int preference = Preference(platform, U16(table, record + 2), U16(table, record + 4));
        const std::size_t length = U16(table, record + 8);
        const std::size_t offset = storage + U16(table, record + 10);
        if (U16(table, record + 6) != kFamilyNameId || preference <= bestPreference ||
            !Holds(table, offset, length)) {
            continue;
        }
        if (std::optional<std::string> name = DecodeName(platform, table.subspan(offset, length))) {
            best = std::move(name);
            bestPreference = preference;
        }
    }
    return best;
}

} // namespace

std::optional<std::string> AddPrivateFont(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > std::numeric_limits<DWORD>::max()) {
        return std::nullopt;
    }
    std::optional<std::string> family = FamilyName(NameTable(bytes));
    if (!family) {
        return std::nullopt;
    }
    // GDI copies the bytes and never writes to them; the parameter is merely not declared const.
    DWORD installed = 0;
    const HANDLE registration = AddFontMemResourceEx(const_cast<std::uint8_t*>(bytes.data()),
                                                     static_cast<DWORD>(bytes.size()), nullptr, &installed);
    if (registration == nullptr || installed == 0) {
        return std::nullopt;
    }
    return family;
}

HFONT CreateFontOf(const zui::FontSpec& wanted, const std::string& family, int dpiY) {
    const std::wstring face = Utf8ToUtf16(family);
    if (wanted.unit == zui::FontSizeUnit::CellHeightPixels) {
        // A positive height asks for the whole cell, internal leading included. GDI keeps the private face
        // for ANSI_CHARSET only because both embedded fonts declare code page 1252 (bit 0 of the OS/2
        // table's ulCodePageRange1); for a face without it, it picks another one (DejaVu Sans under Wine).
        return CreateFontW(wanted.size, 0, 0, 0, wanted.weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           face.c_str());
    }
    LOGFONTW font{};
    // A negative height asks for the em alone.
    font.lfHeight = -zui::PointTenthsToEmPixels(wanted.size, dpiY);
    font.lfWeight = wanted.weight;
    font.lfCharSet = DEFAULT_CHARSET;
    // A face name holds LF_FACESIZE - 1 UTF-16 units; GDI knows a longer family by that much of it, as
    // CreateFontW cuts it for the cell fonts.
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}
