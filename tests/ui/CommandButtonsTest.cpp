#include "ui/CommandButtons.h"

#include "protocol/PollCycle.h"
#include "support/RecordingSetSpeedView.h"
#include "ui/CCDlgSetSpeed.h"
#include "ui/DialogTemplates.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct ClearEnergyCase {
    std::int32_t mode;
    int answer;
    std::int32_t pollState;
};

class ClearEnergyAnswered : public testing::TestWithParam<ClearEnergyCase> {};

TEST_P(ClearEnergyAnswered, OnlyOkInOneOfTheModesRequestsTheClearing) {
    PollCycle poll;
    poll.ResetForStartup();
    poll.ApplyLoadedMode(GetParam().mode);

    OnClearEnergyAnswered(poll, GetParam().answer);

    EXPECT_EQ(poll.PollState, GetParam().pollState);
    EXPECT_EQ(poll.ControlMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Answers, ClearEnergyAnswered,
                         testing::Values(ClearEnergyCase{Eco, kIdOk, 1},
                                         ClearEnergyCase{TempControl, kIdOk, 5}, ClearEnergyCase{7, kIdOk, 0},
                                         ClearEnergyCase{Eco, kIdCancel, 0},
                                         ClearEnergyCase{TempControl, kIdCancel, 4}));

// A user at the dialog: what is typed and which button is pressed, in turn, until the dialog ends.
struct UserStep {
    std::string text;
    bool ok;
};

class SetSpeedButton : public testing::Test {
protected:
    SetSpeedButton() { poll.ResetForStartup(); }

    void Run(std::vector<UserStep> steps) {
        RunSetSpeedDialog(
            poll,
            [&](CCDlgSetSpeed& dialog) {
                RecordingSetSpeedView view;
                dialog.OnInitDialog(view);
                for (const auto& step : steps) {
                    view.Type(step.text);
                    if (step.ok) {
                        dialog.OnOkClicked(view);
                    } else {
                        dialog.OnCancelClicked(view);
                    }
                    if (view.EndResult()) {
                        return *view.EndResult();
                    }
                }
                ADD_FAILURE() << "the dialog did not end";
                return kIdCancel;
            },
            [&](std::string_view text) { errors.emplace_back(text); });
    }

    PollCycle poll;
    std::vector<std::string> errors;
};

TEST_F(SetSpeedButton, AConfirmedSpeedGoesOutInTheNextTempControlFrameWhateverTheMode) {
    Run({{"1500", true}});

    EXPECT_EQ(poll.RequestedFanSpeed, 1500);
    EXPECT_EQ(poll.PollState, 4);
    EXPECT_EQ(poll.ControlMode, Eco);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SetSpeedButton, CancelAfterARefusedTextChangesNothing) {
    poll.SelectTempControl();
    poll.RequestClearEnergy();

    Run({{"abc", true}, {"abc", false}});

    EXPECT_EQ(poll.RequestedFanSpeed, 0);
    EXPECT_EQ(poll.PollState, 5);
}

TEST_F(SetSpeedButton, ADialogThatCannotBeCreatedShowsTheFailureBox) {
    poll.SelectTempControl();

    RunSetSpeedDialog(
        poll, [](CCDlgSetSpeed&) { return kDialogCreationFailed; },
        [&](std::string_view text) { errors.emplace_back(text); });

    EXPECT_EQ(errors, std::vector<std::string>{"程序异常!请重新设置"});
    EXPECT_EQ(poll.PollState, 4);
    EXPECT_EQ(poll.RequestedFanSpeed, 0);
}

TEST_F(SetSpeedButton, ACancelledRunLeavesAnEarlierRequestStanding) {
    Run({{"700", true}});
    Run({{"700", false}});

    EXPECT_EQ(poll.RequestedFanSpeed, 700);
    EXPECT_EQ(poll.PollState, 4);
}

} // namespace
