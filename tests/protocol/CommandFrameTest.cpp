#include "protocol/CommandFrame.h"

#include <gtest/gtest.h>

namespace {

struct FrameCase {
    std::int32_t pollState;
    std::int32_t fanSpeed;
    CommandFrame expected;
};

class CommandFrameTable : public testing::TestWithParam<FrameCase> {};

TEST_P(CommandFrameTable, BuildsTheFrameOfThePollState) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(BuildCommandFrame(c.pollState, c.fanSpeed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(EveryPollState, CommandFrameTable,
                         testing::Values(FrameCase{0, 1500, {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x00}},
                                         FrameCase{1, 1500, {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x01}},
                                         FrameCase{2, 0, {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x02}},
                                         FrameCase{3, 0, {0xAA, 0x7E, 0x80, 0x00, 0x00, 0x03}},
                                         FrameCase{4, 0, {0xAA, 0x7E, 0x82, 0x00, 0x00, 0x00}},
                                         FrameCase{4, 1500, {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x00}},
                                         FrameCase{4, 2200, {0xAA, 0x7E, 0x82, 0x98, 0x08, 0x00}},
                                         FrameCase{5, 1500, {0xAA, 0x7E, 0x82, 0xDC, 0x05, 0x01}},
                                         FrameCase{6, 0, {0xAA, 0x7E, 0x82, 0x00, 0x00, 0x02}},
                                         FrameCase{7, 0, {0xAA, 0x7E, 0x82, 0x00, 0x00, 0x03}},
                                         // Bits above 15 of the speed are dropped.
                                         FrameCase{4, 0x12345, {0xAA, 0x7E, 0x82, 0x45, 0x23, 0x00}},
                                         FrameCase{4, -1, {0xAA, 0x7E, 0x82, 0xFF, 0xFF, 0x00}}));

} // namespace
