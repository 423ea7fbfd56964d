#include "ui/win32/Win32Fonts.h"

#include "Resources.h"
#include "common/win32/Utf16.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int kReadingFont = 159;
constexpr int kCaptionFont = 183;

std::span<const std::uint8_t> FontBytes(int id) {
    return zres::EmbeddedResource(zres::ResourceKind::Font, id);
}

// Each font registered once for the whole suite, as the program does.
const std::string& FamilyOf(int id) {
    static std::map<int, std::string> families;
    auto known = families.find(id);
    if (known == families.end()) {
        known = families.emplace(id, AddPrivateFont(FontBytes(id)).value_or("")).first;
    }
    return known->second;
}

struct FamilyCase {
    const char* name;
    int fontId;
    const char* family; // nameID 1 of the font's 'name' table, as fc-scan reads it
};

class PrivateFontFamily : public testing::TestWithParam<FamilyCase> {};

TEST_P(PrivateFontFamily, IsTheNameInTheFontsOwnNameTable) {
    const std::optional<std::string> family = AddPrivateFont(FontBytes(GetParam().fontId));
    ASSERT_TRUE(family);
    std::cout << "font " << GetParam().fontId << ": \"" << *family << "\"\n";
    EXPECT_EQ(*family, GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(Fonts, PrivateFontFamily,
                         testing::Values(FamilyCase{"Readings", kReadingFont, "Zephyrine Segments"},
                                         FamilyCase{"Captions", kCaptionFont,
                                                    "WenQuanYi Micro Hei Zephyrine Subset"}),
                         CaseName());

struct SizeCase {
    const char* name;
    int fontId;
    zui::FontSpec wanted;
    int dpiY;
    // The whole cell for a cell-height font; the em, MulDiv(tenths, dpiY, 720), for a point one.
    int heightPixels;
};

struct Realised {
    std::wstring face;
    TEXTMETRICW metrics{};
};

Realised RealiseIn(HDC dc, HFONT font) {
    const HGDIOBJ previous = SelectObject(dc, font);
    Realised realised;
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    realised.face = face;
    GetTextMetricsW(dc, &realised.metrics);
    SelectObject(dc, previous);
    DeleteObject(font);
    return realised;
}

class CreatedFont : public testing::TestWithParam<SizeCase> {
protected:
    CreatedFont() : m_dc(CreateCompatibleDC(nullptr)) {}
    ~CreatedFont() override { DeleteDC(m_dc); }
    HDC m_dc;
};

TEST_P(CreatedFont, IsThePrivateFaceAtTheAskedSize) {
    const SizeCase& tested = GetParam();
    const std::string& family = FamilyOf(tested.fontId);
    ASSERT_FALSE(family.empty());
    const HFONT font = CreateFontOf(tested.wanted, family, tested.dpiY);
    ASSERT_NE(font, nullptr);
    const Realised realised = RealiseIn(m_dc, font);

    // A face name holds LF_FACESIZE - 1 UTF-16 units; GDI reports a longer family cut there, and matches it
    // so.
    EXPECT_EQ(realised.face, Utf8ToUtf16(family).substr(0, LF_FACESIZE - 1));
    if (tested.wanted.unit == zui::FontSizeUnit::CellHeightPixels) {
        EXPECT_EQ(realised.metrics.tmHeight, tested.heightPixels);
        return;
    }
    // Windows keeps tmHeight - tmInternalLeading at the em, but Wine rounds the leading on its own (9 for
    // a 10 px em of the captions' face), so the font is compared with the one GDI makes for that em.
    const Realised reference =
        RealiseIn(m_dc, CreateFontW(-tested.heightPixels, 0, 0, 0, tested.wanted.weight, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, Utf8ToUtf16(family).c_str()));
    EXPECT_EQ(realised.face, reference.face);
    EXPECT_EQ(realised.metrics.tmHeight, reference.metrics.tmHeight);
    EXPECT_EQ(realised.metrics.tmAscent, reference.metrics.tmAscent);
    EXPECT_EQ(realised.metrics.tmInternalLeading, reference.metrics.tmInternalLeading);
    EXPECT_EQ(realised.metrics.tmAveCharWidth, reference.metrics.tmAveCharWidth);
}

constexpr auto Cell = zui::FontSizeUnit::CellHeightPixels;
constexpr auto Points = zui::FontSizeUnit::PointTenths;

// The faces the control table asks for stand for the private families.
INSTANTIATE_TEST_SUITE_P(
    Sizes, CreatedFont,
    testing::Values(
        SizeCase{"CaptionCell16", kCaptionFont, {"Source Han Sans K Normal", Cell, 16, 600}, 96, 16},
        SizeCase{"CaptionCell13", kCaptionFont, {"Source Han Sans K Normal", Cell, 13, 600}, 120, 13},
        SizeCase{"CaptionPoints78", kCaptionFont, {"Source Han Sans K Normal", Points, 78, 400}, 96, 10},
        SizeCase{"CaptionPoints100At120Dpi",
                 kCaptionFont,
                 {"Source Han Sans K Normal", Points, 100, 400},
                 120,
                 17},
        SizeCase{"CaptionPoints63At120DpiRoundsHalfUp",
                 kCaptionFont,
                 {"Source Han Sans K Normal", Points, 63, 400},
                 120,
                 11},
        SizeCase{"ReadingPoints235", kReadingFont, {"300-CAI978", Points, 235, 400}, 96, 31},
        SizeCase{"ReadingPoints55At144Dpi", kReadingFont, {"300-CAI978", Points, 55, 400}, 144, 11},
        SizeCase{"ReadingCell24", kReadingFont, {"300-CAI978", Cell, 24, 400}, 96, 24}),
    CaseName());

std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

// Where the table directory lists the table called tag; the readings' font has every table asked for here.
std::size_t TableRecord(const std::vector<std::uint8_t>& font, const char* tag) {
    std::size_t record = 12;
    while (std::memcmp(&font[record], tag, 4) != 0) {
        record += 16;
    }
    return record;
}

std::size_t NameTable(const std::vector<std::uint8_t>& font) {
    const std::size_t record = TableRecord(font, "name");
    return std::size_t{GetU16(font, record + 8)} << 16 | GetU16(font, record + 10);
}

// The readings' font names its family twice: Macintosh Roman (platform 1) first, then Windows US English
// (platform 3).
std::size_t FamilyRecord(const std::vector<std::uint8_t>& font, std::uint16_t platform) {
    std::size_t record = NameTable(font) + 6;
    while (GetU16(font, record) != platform || GetU16(font, record + 6) != 1) {
        record += 12;
    }
    return record;
}

std::size_t LastByteOfString(const std::vector<std::uint8_t>& font, std::size_t record) {
    return NameTable(font) + GetU16(font, NameTable(font) + 4) + GetU16(font, record + 10) +
           GetU16(font, record + 8) - 1;
}

void SpellMacintoshFamilyApart(std::vector<std::uint8_t>& font) {
    font[LastByteOfString(font, FamilyRecord(font, 1))] = 'z';
}

constexpr std::uint16_t kChineseLanguage = 0x0804;
constexpr std::uint16_t kFontSpecificNameId = 256;

struct EditedFontCase {
    const char* name;
    // Edits a copy of the readings' font.
    std::function<void(std::vector<std::uint8_t>&)> edit;
    std::optional<std::string> family;
};

class EditedFont : public testing::TestWithParam<EditedFontCase> {};

TEST_P(EditedFont, GivesTheFamilyOfItsBestNameOrNothing) {
    const std::span<const std::uint8_t> original = FontBytes(kReadingFont);
    std::vector<std::uint8_t> bytes(original.begin(), original.end());
    GetParam().edit(bytes);
    EXPECT_EQ(AddPrivateFont(bytes), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EditedFont,
    testing::Values(
        EditedFontCase{"EnglishWindowsNameBeforeAnotherLanguage",
                       [](auto& bytes) {
                           const std::size_t record = FamilyRecord(bytes, 1);
                           PutU16(bytes, record, 3);
                           PutU16(bytes, record + 2, 1);
                           PutU16(bytes, record + 4, kChineseLanguage);
                       },
                       "Zephyrine Segments"},
        EditedFontCase{"WindowsNameBeforeMacintosh", SpellMacintoshFamilyApart, "Zephyrine Segments"},
        EditedFontCase{"WindowsNameInAnotherLanguageBeforeMacintosh",
                       [](auto& bytes) {
                           SpellMacintoshFamilyApart(bytes);
                           PutU16(bytes, FamilyRecord(bytes, 3) + 4, kChineseLanguage);
                       },
                       "Zephyrine Segments"},
        EditedFontCase{"MacintoshNameWhenNoWindowsOne",
                       [](auto& bytes) {
                           SpellMacintoshFamilyApart(bytes);
                           PutU16(bytes, FamilyRecord(bytes, 3) + 6, kFontSpecificNameId);
                       },
                       "Zephyrine Segmentz"},
        EditedFontCase{"MacintoshNameThatIsNotAscii",
                       [](auto& bytes) {
                           bytes[LastByteOfString(bytes, FamilyRecord(bytes, 1))] = 0xA5;
                           PutU16(bytes, FamilyRecord(bytes, 3) + 6, kFontSpecificNameId);
                       },
                       std::nullopt},
        EditedFontCase{"Empty", [](auto& bytes) { bytes.clear(); }, std::nullopt},
        EditedFontCase{"Text",
                       [](auto& bytes) {
                           bytes.assign({'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'});
                       },
                       std::nullopt},
        EditedFontCase{"Noise",
                       [](auto& bytes) {
                           std::mt19937 random(159);
                           for (auto& byte : bytes) {
                               byte = static_cast<std::uint8_t>(random());
                           }
                       },
                       std::nullopt},
        EditedFontCase{"HeaderOnly", [](auto& bytes) { bytes.resize(12); }, std::nullopt},
        EditedFontCase{"CutInTheTableDirectory", [](auto& bytes) { bytes.resize(12 + 16 * 3 + 5); },
                       std::nullopt},
        EditedFontCase{"CutInHalf", [](auto& bytes) { bytes.resize(bytes.size() / 2); }, std::nullopt},
        EditedFontCase{"LastByteMissing", [](auto& bytes) { bytes.pop_back(); }, std::nullopt},
        EditedFontCase{"Collection", [](auto& bytes) { std::memcpy(bytes.data(), "ttcf", 4); }, std::nullopt},
        EditedFontCase{"TooManyTables", [](auto& bytes) { PutU16(bytes, 4, 0xFFFF); }, std::nullopt},
        EditedFontCase{"NameTableOffsetWrapsAround",
                       [](auto& bytes) {
                           const std::size_t record = TableRecord(bytes, "name");
                           PutU16(bytes, record + 8, 0xFFFF);
                           PutU16(bytes, record + 10, 0xFFF0);
                       },
                       std::nullopt},
        EditedFontCase{"NameStringsPastTheTable",
                       [](auto& bytes) { PutU16(bytes, NameTable(bytes) + 4, 0xFFF0); }, std::nullopt},
        EditedFontCase{"TooManyNameRecords", [](auto& bytes) { PutU16(bytes, NameTable(bytes) + 2, 0xFFFF); },
                       std::nullopt},
        EditedFontCase{"NoNameTable",
                       [](auto& bytes) { std::memcpy(&bytes[TableRecord(bytes, "name")], "nam_", 4); },
                       std::nullopt}),
    CaseName());

} // namespace
