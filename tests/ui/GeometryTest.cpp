#include "ui/Geometry.h"

#include "ui/ControlTable.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using geometry::FontSize;
using zui::PointTenthsToEmPixels;

TEST(ProportionalWindowSize, FollowsTheScreenInIntegerArithmetic) {
    const std::map<std::pair<int, int>, zui::Size> cases{
        {{1366, 768}, {810, 422}},
        {{1920, 1080}, {1138, 593}},
        {{1280, 1024}, {759, 562}},
        {{1600, 900}, {948, 494}},
    };
    for (const auto& [screen, window] : cases) {
        EXPECT_EQ(geometry::ProportionalWindowSize({screen.first, screen.second}), window) << screen.first;
    }
}

TEST(ScreenFactor, IsAFloatWhoseFirstEightDigitsAreTheWindowsOwn) {
    // 1.1991214... and 1.1244509...; the product taken in single precision would give 1.19912159
    // and 1.12445104.
    EXPECT_EQ(geometry::ScreenFactor(1365), 1.19912148f);
    EXPECT_EQ(geometry::ScreenFactor(1366), 1.0f);
    EXPECT_EQ(geometry::ScreenFactor(1600), 1.0f);
    EXPECT_EQ(geometry::ScreenFactor(1601), 0.89999998f);
    EXPECT_EQ(geometry::ScreenFactor(1280), 1.12445092f);
}

struct FontCase {
    const char* name;
    int dpiX;
    int clientWidth;
    float screenFactor;
    // Sizes of the rows of the font table, in its order: Chinese captions (cell pixels), English captions,
    // rail captions, bottom bar, top bar, readings (tenths of a point).
    int sizes[6];
    // The point fonts' em heights on a screen of the same vertical DPI.
    int emPixels[5];
};

class FontSizes : public testing::TestWithParam<FontCase> {};

TEST_P(FontSizes, FollowTheClientWidthTheDpiAndTheScreenFactor) {
    const FontCase& c = GetParam();
    const auto rows = control_table::Fonts();
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int size =
            FontSize(rows[i].baseNumber, rows[i].subtractTenths, c.dpiX, c.clientWidth, c.screenFactor);
        EXPECT_EQ(size, c.sizes[i]) << "row " << i;
        if (i > 0) {
            EXPECT_EQ(PointTenthsToEmPixels(size, c.dpiX), c.emPixels[i - 1]) << "row " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FontSizes,
    testing::Values(
        // N / 804 x 804 lands just below the integer: 59, 54 and 234 rather than 60, 55 and 235.
        FontCase{"Reference", 96, 804, 1.0f, {16, 78, 100, 59, 54, 234}, {10, 13, 8, 7, 31}},
        FontCase{"FullHd", 96, 1132, 0.9f, {20, 98, 126, 76, 69, 299}, {13, 17, 10, 9, 40}},
        // The point fonts keep their pixels at 120 DPI; the cell-height captions shrink.
        FontCase{"Dpi120", 120, 804, 1.0f, {12, 62, 80, 48, 44, 187}, {10, 13, 8, 7, 31}}),
    CaseName());

TEST(PointTenthsToEmPixels, RoundsHalvesAwayFromZeroAsMulDivDoes) {
    EXPECT_EQ(PointTenthsToEmPixels(75, 96), 10);  // 10.0
    EXPECT_EQ(PointTenthsToEmPixels(105, 96), 14); // 14.0
    EXPECT_EQ(PointTenthsToEmPixels(15, 48), 1);   // exactly 1.0
    EXPECT_EQ(PointTenthsToEmPixels(45, 8), 1);    // 0.5 goes up
    EXPECT_EQ(PointTenthsToEmPixels(-45, 8), -1);
}

TEST(CellHeightToEmPixels, FillsTheCellWithTheWindowsAscentAndDescent) {
    // The caption face: 2048 units per em, usWinAscent 1918, usWinDescent 483.
    EXPECT_EQ(zui::CellHeightToEmPixels(16, {2048, 1918, 483}), 14);
    EXPECT_EQ(zui::CellHeightToEmPixels(20, {2048, 1918, 483}), 17);
    EXPECT_EQ(zui::CellHeightToEmPixels(16, {1000, 1000, 0}), 16);
    EXPECT_EQ(zui::CellHeightToEmPixels(16, {}), 16);
}

TEST(ScaleReferenceRect, KeepsTheReferenceClientButForFourOnePixelShortTops) {
    const std::map<int, int> shortTops{{1063, 52}, {1064, 52}, {1078, 234}, {1079, 234}};
    for (const ControlInfo& control : control_table::Controls()) {
        zui::Rect expected = control.reference;
        if (const auto it = shortTops.find(control.id); it != shortTops.end()) {
            expected.top = it->second;
        }
        EXPECT_EQ(geometry::ScaleReferenceRect(control.reference, geometry::kReferenceClient), expected)
            << control.id;
    }
}

TEST(ScaleReferenceRect, ScalesEachEdgeOnAFullHdClient) {
    const zui::Size client{1132, 565};
    EXPECT_EQ(geometry::ScaleReferenceRect(control_table::Find(1056)->reference, client),
              (zui::Rect{111, 193, 229, 236}));
    EXPECT_EQ(geometry::ScaleReferenceRect(control_table::Find(1063)->reference, client),
              (zui::Rect{620, 76, 795, 129}));
}

TEST(MinimisedIconPosition, PlacesAThirtyTwoPixelIconAsIfItWereEighteenBySeventeen) {
    EXPECT_EQ(geometry::MinimisedIconPosition({160, 28}, {32, 32}), (zui::Point{71, 6}));
    EXPECT_EQ(geometry::MinimisedIconPosition({804, 394}, {32, 32}), (zui::Point{393, 189}));
}

} // namespace
