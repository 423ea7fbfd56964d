#include "Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace {

using zres::EmbeddedResource;
using zres::ResourceKind;
using Bytes = std::span<const std::uint8_t>;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

std::uint32_t Le16(Bytes b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t Le32(Bytes b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
std::uint32_t Be16(Bytes b, std::size_t at) {
    return (b[at] << 8) | b[at + 1];
}
std::uint32_t Be32(Bytes b, std::size_t at) {
    return (Be16(b, at) << 16) | Be16(b, at + 2);
}
std::string Tag(Bytes b, std::size_t at) {
    return {reinterpret_cast<const char*>(b.data() + at), 4};
}

// An uncompressed bottom-up BMP as the Windows resource compiler and LoadBitmap take it.
class Bmp {
public:
    explicit Bmp(Bytes bytes) : m_bytes(bytes) {}

    bool IsBmp() const { return m_bytes.size() >= 54 && m_bytes[0] == 'B' && m_bytes[1] == 'M'; }
    std::uint32_t FileSize() const { return Le32(m_bytes, 2); }
    std::uint32_t PixelOffset() const { return Le32(m_bytes, 10); }
    std::int32_t Width() const { return static_cast<std::int32_t>(Le32(m_bytes, 18)); }
    std::int32_t Height() const { return static_cast<std::int32_t>(Le32(m_bytes, 22)); }
    std::uint32_t BitsPerPixel() const { return Le16(m_bytes, 28); }
    std::uint32_t Compression() const { return Le32(m_bytes, 30); }

    Rgb Pixel(int x, int y) const {
        const std::size_t stride = (static_cast<std::size_t>(Width()) * 3 + 3) / 4 * 4;
        const std::size_t at = PixelOffset() + static_cast<std::size_t>(Height() - 1 - y) * stride + x * 3u;
        return {m_bytes[at + 2], m_bytes[at + 1], m_bytes[at]};
    }

    int CountPixels(int left, int right, bool (*test)(Rgb)) const {
        int count = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = left; x < right; ++x)
                count += test(Pixel(x, y)) ? 1 : 0;
        return count;
    }

private:
    Bytes m_bytes;
};

Bmp Bitmap(int id) {
    return Bmp(EmbeddedResource(ResourceKind::Bitmap, id));
}

bool IsGrey(Rgb c) {
    return c.r == c.g && c.g == c.b;
}

struct BitmapSize {
    int id, width, height;
};

constexpr std::array kBitmapSizes{
    BitmapSize{147, 800, 433}, BitmapSize{149, 64, 26}, BitmapSize{150, 64, 26},  BitmapSize{151, 125, 35},
    BitmapSize{152, 125, 35},  BitmapSize{153, 64, 26}, BitmapSize{155, 124, 34}, BitmapSize{156, 124, 34},
};

TEST(ResourcesBitmaps, AreUncompressed24BitBmpsOfTheirSize) {
    for (const auto& [id, width, height] : kBitmapSizes) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const Bmp bmp = Bitmap(id);
        ASSERT_TRUE(bmp.IsBmp());
        EXPECT_EQ(bmp.FileSize(), EmbeddedResource(ResourceKind::Bitmap, id).size());
        EXPECT_EQ(bmp.Width(), width);
        EXPECT_EQ(bmp.Height(), height); // positive: rows stored bottom-up
        EXPECT_EQ(bmp.BitsPerPixel(), 24u);
        EXPECT_EQ(bmp.Compression(), 0u);
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
        EXPECT_EQ(bmp.PixelOffset() + stride * height, bmp.FileSize());
    }
}

struct PixelCase {
    const char* what;
    int x, y;
    Rgb colour;
};

TEST(ResourcesBackground, BarsAndSeparatorsHaveTheirColours) {
    const std::array cases{
        PixelCase{"outer top bar", 400, 0, {72, 72, 72}},
        PixelCase{"outer top bar", 10, 3, {72, 72, 72}},
        PixelCase{"top bar", 0, 4, {100, 100, 100}},
        PixelCase{"top bar", 799, 69, {100, 100, 100}},
        PixelCase{"under the top bar", 400, 70, {72, 72, 72}},
        PixelCase{"under the top bar", 5, 76, {72, 72, 72}},
        PixelCase{"over the bottom bar", 3, 414, {72, 72, 72}},
        PixelCase{"over the bottom bar", 700, 416, {72, 72, 72}},
        PixelCase{"bottom bar", 0, 417, {128, 128, 128}},
        PixelCase{"bottom bar", 799, 431, {128, 128, 128}},
        PixelCase{"left separator", 326, 137, {102, 102, 102}},
        PixelCase{"left separator", 326, 377, {102, 102, 102}},
        PixelCase{"right separator", 592, 137, {102, 102, 102}},
        PixelCase{"right separator", 592, 250, {102, 102, 102}},
    };
    const Bmp bmp = Bitmap(147);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(c.x) + ", " + std::to_string(c.y));
        EXPECT_EQ(bmp.Pixel(c.x, c.y), c.colour);
    }
}

TEST(ResourcesBackground, LastRowIsAlmostBlack) {
    const Bmp bmp = Bitmap(147);
    for (int x : {0, 400, 799}) {
        const Rgb c = bmp.Pixel(x, 432);
        EXPECT_TRUE(IsGrey(c) && c.r < 40) << c;
    }
}

TEST(ResourcesBackground, BodyIsLightGreyFacetsAndSeparatorsEndAtTheirRows) {
    const Bmp bmp = Bitmap(147);
    int darkest = 255;
    int lightest = 0;
    // Row 100 and column 20 cross the body clear of fields and separators.
    for (int x = 0; x < 800; ++x) {
        if (x == 326 || x == 592)
            continue;
        const Rgb c = bmp.Pixel(x, 100);
        ASSERT_TRUE(IsGrey(c)) << c << " at x " << x;
        darkest = std::min(darkest, c.r);
        lightest = std::max(lightest, c.r);
    }
    for (int y = 77; y <= 413; ++y) {
        const Rgb c = bmp.Pixel(20, y);
        ASSERT_TRUE(IsGrey(c)) << c << " at y " << y;
        darkest = std::min(darkest, c.r);
        lightest = std::max(lightest, c.r);
    }
    EXPECT_GE(darkest, 241);
    EXPECT_LT(darkest, lightest) << "a pattern, not one flat grey";
    for (const auto& [x, y] : {std::pair{326, 136}, {326, 378}, {592, 136}, {592, 378}})
        EXPECT_GE(bmp.Pixel(x, y).r, 241) << x << ", " << y;
}

struct Field {
    int left, top, right, bottom;
};

constexpr std::array kFieldInteriors{
    Field{87, 145, 149, 175},  Field{208, 145, 270, 175}, Field{87, 259, 149, 289},
    Field{209, 259, 271, 289}, Field{483, 145, 545, 175}, Field{372, 218, 434, 248},
    Field{483, 217, 545, 250}, Field{371, 291, 433, 321}, Field{483, 291, 545, 321},
    Field{651, 145, 713, 176}, Field{651, 259, 713, 289},
};

TEST(ResourcesBackground, FieldsAreWhiteInsideAndShadedAtTheEdge) {
    const Bmp bmp = Bitmap(147);
    constexpr Rgb white{255, 255, 255};
    for (const auto& f : kFieldInteriors) {
        SCOPED_TRACE("field at " + std::to_string(f.left) + ", " + std::to_string(f.top));
        const int midX = (f.left + f.right) / 2;
        const int midY = (f.top + f.bottom) / 2;
        for (const auto& [x, y] : {std::pair{f.left, f.top}, {f.right, f.bottom}, {midX, midY}})
            EXPECT_EQ(bmp.Pixel(x, y), white) << x << ", " << y;
        // The shadow's outermost ring, about 7 px out from the white interior.
        for (const auto& [x, y] : {std::pair{midX, f.top - 7}, {midX, f.bottom + 7}, {f.left - 7, midY}}) {
            const Rgb edge = bmp.Pixel(x, y);
            EXPECT_TRUE(IsGrey(edge) && edge.r >= 226 && edge.r <= 239) << edge << " at " << x << ", " << y;
        }
    }
}

struct ButtonCase {
    int id;
    Rgb fill;
    Rgb corner;
    Rgb lowerEdge;
};

TEST(ResourcesButtons, RoundButtonsHaveFillLowerEdgeAndCornerColours) {
    const std::array cases{
        ButtonCase{149, {81, 81, 81}, {237, 237, 237}, {151, 151, 151}},
        ButtonCase{150, {149, 149, 149}, {244, 244, 244}, {192, 192, 192}},
        ButtonCase{153, {81, 81, 81}, {255, 255, 255}, {151, 151, 151}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bitmap " + std::to_string(c.id));
        const Bmp bmp = Bitmap(c.id);
        EXPECT_EQ(bmp.Pixel(4, 13), c.fill); // left of the characters
        EXPECT_EQ(bmp.Pixel(59, 4), c.fill); // right of them
        EXPECT_EQ(bmp.Pixel(32, 25), c.lowerEdge);
        for (const auto& [x, y] : {std::pair{0, 0}, {63, 0}, {0, 25}, {63, 25}})
            EXPECT_EQ(bmp.Pixel(x, y), c.corner) << x << ", " << y;
    }
}

TEST(ResourcesButtons, ModeButtonsAreFlatWithTheirFill) {
    constexpr Rgb teal{0, 180, 157};
    constexpr Rgb grey{90, 90, 90};
    for (const auto& [id, fill] : {std::pair{151, teal}, {152, teal}, {155, grey}, {156, grey}}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const Bmp bmp = Bitmap(id);
        const int w = bmp.Width();
        const int h = bmp.Height();
        for (const auto& [x, y] :
             {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {3, h / 2}, {w - 4, h / 2}})
            EXPECT_EQ(bmp.Pixel(x, y), fill) << x << ", " << y;
    }
}

TEST(ResourcesButtons, EveryButtonCarriesWhiteCharacters) {
    for (int id : {149, 150, 151, 152, 153, 155, 156}) {
        const Bmp bmp = Bitmap(id);
        // The middle half, clear of 153's white corners.
        const int white = bmp.CountPixels(bmp.Width() / 4, bmp.Width() * 3 / 4,
                                          [](Rgb c) { return c.r >= 240 && c.g >= 240 && c.b >= 240; });
        EXPECT_GT(white, 20) << "bitmap " << id;
    }
}

struct PngCase {
    ResourceKind kind;
    int id;
    std::uint32_t width, height;
};

TEST(ResourcesPngs, IconAndLogoAreRgbaPngsOfTheirSize) {
    constexpr std::array<std::uint8_t, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (const auto& c :
         {PngCase{ResourceKind::Icon, 128, 32, 32}, PngCase{ResourceKind::Png, 160, 150, 31}}) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        const Bytes png = EmbeddedResource(c.kind, c.id);
        ASSERT_GT(png.size(), 33u);
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
        EXPECT_EQ(Tag(png, 12), "IHDR");
        EXPECT_EQ(Be32(png, 16), c.width);
        EXPECT_EQ(Be32(png, 20), c.height);
        EXPECT_EQ(png[24], 8); // bits per channel
        EXPECT_EQ(png[25], 6); // colour type: RGB with alpha
    }
}

TEST(ResourcesIco, HoldsA32PixelEntryWithAlpha) {
    const Bytes ico = zres::EmbeddedIconIco();
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Le16(ico, 0), 0u);
    EXPECT_EQ(Le16(ico, 2), 1u); // icon, not cursor
    const std::uint32_t count = Le16(ico, 4);
    ASSERT_GE(ico.size(), 6 + 16 * count);
    bool has32 = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        EXPECT_LE(Le32(ico, entry + 12) + Le32(ico, entry + 8), ico.size());
        has32 = has32 || (ico[entry] == 32 && ico[entry + 1] == 32 && Le16(ico, entry + 6) == 32);
    }
    EXPECT_TRUE(has32);
}

TEST(ResourcesFonts, AreTrueTypeWithOutlinesAndCharacterMap) {
    for (int id : {159, 183}) {
        SCOPED_TRACE("font " + std::to_string(id));
        const Bytes font = EmbeddedResource(ResourceKind::Font, id);
        ASSERT_GT(font.size(), 12u);
        EXPECT_EQ(Be32(font, 0), 0x00010000u); // TrueType outlines, not a collection
        const std::uint32_t tables = Be16(font, 4);
        ASSERT_GE(font.size(), 12 + 16 * tables);
        std::string tags;
        for (std::uint32_t i = 0; i < tables; ++i)
            tags += Tag(font, 12 + 16 * i) + " ";
        for (std::string_view needed : {"cmap", "glyf", "head", "name"})
            EXPECT_NE(tags.find(needed), std::string::npos) << needed << " missing from " << tags;
    }
}

TEST(ResourcesLookup, UnknownOrMismatchedIdsGiveEmptySpans) {
    const std::array cases{
        std::pair{ResourceKind::Bitmap, 148}, std::pair{ResourceKind::Bitmap, 154},
        std::pair{ResourceKind::Bitmap, 128}, std::pair{ResourceKind::Icon, 147},
        std::pair{ResourceKind::Font, 160},   std::pair{ResourceKind::Png, 183},
        std::pair{ResourceKind::Font, 0},     std::pair{ResourceKind::Png, -1},
    };
    for (const auto& [kind, id] : cases)
        EXPECT_TRUE(EmbeddedResource(kind, id).empty()) << "id " << id;
}

} // namespace
