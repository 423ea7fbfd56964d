#include "ui/CCDlgSetSpeed.h"

#include "support/RecordingSetSpeedView.h"
#include "ui/DialogTemplates.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using Events = std::vector<std::string>;

const std::string kNoInteger = "box! 请输入一个整数。";
const std::string kRange = "box! 请输入一个 0 至 2200 之间的整数。";
const std::string kFocus = "focus edit";

std::string Confirmation(int speed) {
    return "box 风机转速将被修改为：" + std::to_string(speed);
}

class CCDlgSetSpeedTest : public testing::Test {
protected:
    CCDlgSetSpeedTest() {
        dialog.OnInitDialog(view);
        view.ClearEvents();
    }

    RecordingSetSpeedView view;
    CCDlgSetSpeed dialog;
};

TEST_F(CCDlgSetSpeedTest, OpensWithZeroInTheEdit) {
    EXPECT_EQ(view.GetEditText(), "0");
    EXPECT_EQ(dialog.m_confirmed, 0);
    EXPECT_EQ(dialog.m_acceptedSpeed, 0);
}

struct OkCase {
    const char* name;
    const char* text;
    Events events;
    int confirmed;
    int acceptedSpeed;
    std::optional<int> endResult;
};

class OkClicked : public CCDlgSetSpeedTest, public testing::WithParamInterface<OkCase> {};

TEST_P(OkClicked, ShowsTheBoxesInOrderAndEndsOnlyOnAValidSpeed) {
    view.Type(GetParam().text);

    dialog.OnOkClicked(view);

    EXPECT_EQ(view.Events(), GetParam().events);
    EXPECT_EQ(dialog.m_confirmed, GetParam().confirmed);
    EXPECT_EQ(dialog.m_acceptedSpeed, GetParam().acceptedSpeed);
    EXPECT_EQ(view.EndResult(), GetParam().endResult);
}

// Text that is no integer is refused by the exchange, then reads as 0, so the confirmation shows 0 and the
// standard OK refuses it again; an integer out of range stops after the first refusal.
INSTANTIATE_TEST_SUITE_P(
    Texts, OkClicked,
    testing::Values(
        OkCase{"Zero", "0", {Confirmation(0), "end 1"}, 1, 0, kIdOk},
        OkCase{"Maximum", "2200", {Confirmation(2200), "end 1"}, 1, 2200, kIdOk},
        OkCase{"AboveMaximum", "2201", {kRange, kFocus}, 0, 0, std::nullopt},
        OkCase{"Negative", "-1", {kRange, kFocus}, 0, 0, std::nullopt},
        OkCase{"Empty", "", {kNoInteger, kFocus, Confirmation(0), kNoInteger, kFocus}, 1, 0, std::nullopt},
        OkCase{
            "Letters", "abc", {kNoInteger, kFocus, Confirmation(0), kNoInteger, kFocus}, 1, 0, std::nullopt},
        OkCase{"TrailingLetter",
               "12a",
               {kNoInteger, kFocus, Confirmation(0), kNoInteger, kFocus},
               1,
               0,
               std::nullopt},
        OkCase{"BlankInsideTheNumber",
               "- 5",
               {kNoInteger, kFocus, Confirmation(0), kNoInteger, kFocus},
               1,
               0,
               std::nullopt},
        OkCase{"BlanksAround", "  1500 ", {Confirmation(1500), "end 1"}, 1, 1500, kIdOk},
        OkCase{"TabsAround", "\t800\t", {Confirmation(800), "end 1"}, 1, 800, kIdOk},
        OkCase{"PlusSign", "+5", {Confirmation(5), "end 1"}, 1, 5, kIdOk},
        OkCase{"NegativeZero", "-0", {Confirmation(0), "end 1"}, 1, 0, kIdOk},
        // Too long for an int: out of range for the exchange, no number for the signed read.
        OkCase{"BeyondInt",
               "99999999999",
               {kRange, kFocus, Confirmation(0), kRange, kFocus},
               1,
               0,
               std::nullopt}),
    [](const testing::TestParamInfo<OkCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(CCDlgSetSpeedTest, AValidSpeedAfterARefusalReplacesBothResults) {
    view.Type("abc");
    dialog.OnOkClicked(view);
    view.ClearEvents();

    view.Type("1500");
    dialog.OnOkClicked(view);

    EXPECT_THAT(view.Events(), ElementsAre(Confirmation(1500), "end 1"));
    EXPECT_EQ(dialog.m_confirmed, 1);
    EXPECT_EQ(dialog.m_acceptedSpeed, 1500);
    EXPECT_EQ(dialog.m_editValue, 1500);
}

TEST_F(CCDlgSetSpeedTest, CancelClearsBothResultsAndEndsWithCancel) {
    view.Type("abc");
    dialog.OnOkClicked(view);
    ASSERT_EQ(dialog.m_confirmed, 1);
    view.ClearEvents();

    dialog.OnCancelClicked(view);

    EXPECT_THAT(view.Events(), ElementsAre("end 2"));
    EXPECT_EQ(dialog.m_confirmed, 0);
    EXPECT_EQ(dialog.m_acceptedSpeed, 0);
}

} // namespace
