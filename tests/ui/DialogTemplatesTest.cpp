#include "ui/DialogTemplates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> TabOrder(const DialogTemplate& dialog) {
    std::vector<int> ids;
    for (const auto& control : dialog.controls) {
        if (control.styles & kStyleTabStop) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

int DefaultButton(const DialogTemplate& dialog) {
    const auto defaults =
        std::count_if(dialog.controls.begin(), dialog.controls.end(),
                      [](const DialogControl& c) { return c.styles & kStyleDefaultButton; });
    EXPECT_EQ(defaults, 1);
    const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                 [](const DialogControl& c) { return c.styles & kStyleDefaultButton; });
    return it == dialog.controls.end() ? 0 : it->id;
}

TEST(SetSpeedDialogTemplate, TabsFromOkToCancelToTheEditWithOkAsDefaultAndNoCloseBox) {
    const DialogTemplate& dialog = SetSpeedDialogTemplate();

    EXPECT_EQ(dialog.resourceId, 154);
    EXPECT_FALSE(dialog.hasSystemMenu);
    EXPECT_EQ(TabOrder(dialog), (std::vector<int>{kIdOk, kIdCancel, 1065}));
    EXPECT_EQ(DefaultButton(dialog), kIdOk);
}

TEST(SetSpeedDialogTemplate, TheNoteBreaksOnceAndIndentsItsSecondLineByTwelveBlanks) {
    const std::string_view note = SetSpeedDialogTemplate().controls[2].text;

    ASSERT_EQ(std::count(note.begin(), note.end(), '\n'), 1);
    const std::string_view secondLine = note.substr(note.find('\n') + 1);
    EXPECT_EQ(secondLine.find_first_not_of(' '), 12u);
    EXPECT_TRUE(note.starts_with("注意："));
    EXPECT_TRUE(secondLine.ends_with("设置将会失效！"));
}

TEST(AboutDialogTemplate, HasItsIconTextAndDefaultOkButton) {
    const DialogTemplate& dialog = AboutDialogTemplate();

    EXPECT_EQ(dialog.resourceId, 100);
    EXPECT_EQ(dialog.title, "关于 Zephyrine");
    EXPECT_TRUE(dialog.hasSystemMenu);
    ASSERT_EQ(dialog.controls.size(), 3u);
    EXPECT_EQ(dialog.controls[0].kind, DialogControlKind::StaticIcon);
    EXPECT_EQ(dialog.controls[0].iconResource, 128);
    EXPECT_EQ(dialog.controls[1].text, "Zephyrine，1.3 版");
    EXPECT_EQ(dialog.controls[2].text, "确定");
    EXPECT_EQ(DefaultButton(dialog), kIdOk);
}

struct UnitCase {
    DialogUnitRect units;
    zui::DialogBaseUnits base;
    zui::PixelRect pixels;
};

class DialogUnits : public testing::TestWithParam<UnitCase> {};

TEST_P(DialogUnits, ScaleEachValueByItsBaseUnitAndRoundToNearest) {
    const zui::PixelRect pixels = zui::DialogUnitsToPixels(GetParam().units, GetParam().base);

    EXPECT_EQ(pixels.x, GetParam().pixels.x);
    EXPECT_EQ(pixels.y, GetParam().pixels.y);
    EXPECT_EQ(pixels.width, GetParam().pixels.width);
    EXPECT_EQ(pixels.height, GetParam().pixels.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rects, DialogUnits,
    testing::Values(UnitCase{{4, 8, 40, 80}, {6, 13}, {6, 13, 60, 130}},     // whole base units
                    UnitCase{{1, 1, 3, 3}, {6, 13}, {2, 2, 5, 5}},           // 1.5, 1.625, 4.5, 4.875
                    UnitCase{{193, 36, 50, 14}, {6, 13}, {290, 59, 75, 23}}, // the OK button of 154
                    UnitCase{{193, 36, 50, 14}, {7, 16}, {338, 72, 88, 28}}, // a larger font
                    UnitCase{{-1, -3, 0, 0}, {6, 13}, {-2, -5, 0, 0}}));     // halves away from zero

TEST(AverageCharWidth, IsTheAlphabetsAdvanceOverFiftyTwoRounded) {
    EXPECT_EQ(zui::AverageCharWidth(312), 6);
    EXPECT_EQ(zui::AverageCharWidth(337), 6);
    EXPECT_EQ(zui::AverageCharWidth(338), 7);
    EXPECT_EQ(zui::AverageCharWidth(0), 0);
}

} // namespace
