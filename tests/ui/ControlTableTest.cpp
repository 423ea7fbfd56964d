#include "ui/ControlTable.h"

#include "protocol/ReadingDisplay.h"
#include "protocol/ReadingFlags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::map<ControlRole, int> CountRoles() {
    std::map<ControlRole, int> counts;
    for (const ControlInfo& control : control_table::Controls()) {
        ++counts[control.role];
    }
    return counts;
}

TEST(ControlTable, HoldsElevenReadingsTwentyTwoCaptionsAndFourButtonsOnce) {
    std::set<int> ids;
    for (const ControlInfo& control : control_table::Controls()) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.id;
        EXPECT_EQ(control_table::Find(control.id), &control);
    }
    EXPECT_EQ(ids.size(), 37u);
    EXPECT_EQ(CountRoles(),
              (std::map<ControlRole, int>{
                  {ControlRole::Reading, 11}, {ControlRole::Caption, 22}, {ControlRole::ImageButton, 4}}));
    EXPECT_EQ(control_table::Find(1040), nullptr);
}

TEST(ControlTable, GivesEveryCaptionAndReadingOneFontOfItsRoleAndTheButtonsNone) {
    std::map<int, FontRole> fontOf;
    for (const FontRow& row : control_table::Fonts()) {
        for (const int id : row.controls) {
            EXPECT_TRUE(fontOf.emplace(id, row.role).second) << id << " has two fonts";
        }
    }
    EXPECT_EQ(fontOf.size(), 33u);
    for (const ControlInfo& control : control_table::Controls()) {
        if (control.role == ControlRole::ImageButton) {
            EXPECT_FALSE(fontOf.contains(control.id));
            EXPECT_EQ(control.font, FontRole::None);
        } else {
            EXPECT_EQ(fontOf.at(control.id), control.font) << control.id;
        }
    }
}

TEST(ControlTable, SetsEveryCaptionTextOnceAndNoOtherControls) {
    std::set<int> captioned;
    for (const CaptionText& caption : control_table::Captions()) {
        EXPECT_TRUE(captioned.insert(caption.id).second);
        EXPECT_EQ(control_table::Find(caption.id)->role, ControlRole::Caption) << caption.id;
    }
    EXPECT_EQ(captioned.size(), 22u);
}

TEST(ControlTable, SpacesTheTopBarTitleWithOneTab) {
    const auto captions = control_table::Captions();
    const auto it = std::ranges::find(captions, 1087, &CaptionText::id);
    ASSERT_NE(it, captions.end());
    const auto spaced = [](const std::string& letters, const std::vector<int>& gaps) {
        std::string text;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            text += letters[i];
            if (i < gaps.size()) {
                text += std::string(gaps[i], ' ');
            }
        }
        return text;
    };
    EXPECT_EQ(std::string(it->text), spaced("POWER", {11, 11, 11, 11}) + "\t" + std::string(14, ' ') +
                                         spaced("SUPPLY", {11, 11, 11, 11, 12}));
}

TEST(ControlTable, ColoursTheReadingsThatHaveAFlagRedOnlyWhenItIsExactlyOne) {
    const ReadingFlags flags;
    for (const ControlInfo& control : control_table::Controls()) {
        if (control.role != ControlRole::Reading) {
            continue;
        }
        const bool flagged = flags.FlagOfLabel(control.id) != nullptr;
        EXPECT_EQ(control.colour, flagged ? TextColourRule::FlaggedReading : TextColourRule::Reading)
            << control.id;
    }
    const std::map<int, zui::Rgb> byFlag{{0, {0, 0, 0}}, {1, {255, 0, 0}}, {2, {0, 0, 0}}, {-1, {0, 0, 0}}};
    for (const auto& [flag, colour] : byFlag) {
        EXPECT_EQ(control_table::TextColour(TextColourRule::FlaggedReading, flag), colour) << flag;
        EXPECT_EQ(control_table::TextColour(TextColourRule::Reading, flag), (zui::Rgb{0, 0, 0}));
    }
    EXPECT_EQ(control_table::TextColour(TextColourRule::Caption, 1), (zui::Rgb{90, 90, 90}));
    EXPECT_EQ(control_table::TextColour(TextColourRule::Bar, 0), (zui::Rgb{255, 255, 255}));
}

TEST(MainWindowDescription, CarriesTheControlsInLayoutOrderWithTheirKindsStylesAndTexts) {
    const zui::DialogDescription& dialog = control_table::MainWindowDescription();
    EXPECT_EQ(dialog.resourceId, 102);
    EXPECT_FALSE(dialog.visible);
    ASSERT_EQ(dialog.controls.size(), 37u);
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const zui::ControlDescription& control = dialog.controls[i];
        const ControlInfo& info = control_table::Controls()[i];
        EXPECT_EQ(control.id, info.id);
        const bool button = info.role == ControlRole::ImageButton;
        EXPECT_EQ(control.kind, button ? zui::ControlKind::ImageButton : zui::ControlKind::StaticText);
        EXPECT_EQ(control.tabStop, button);
        EXPECT_EQ(control.transparent, info.id == 1041 || info.id == 1044) << info.id;
        EXPECT_EQ(control.align,
                  info.id == 1075 || info.id == 1076 ? zui::TextAlign::Left : zui::TextAlign::Center);
    }
    EXPECT_EQ(dialog.controls[4].text, "00.00"); // +12V
    EXPECT_EQ(dialog.controls[10].text, "000");  // fan speed
}

} // namespace
