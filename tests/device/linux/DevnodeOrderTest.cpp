#include "device/linux/DevnodeOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(DevnodeOrder, SortsNodesByTheirNumber) {
    std::vector<std::string> nodes{"/dev/hidraw10", "/dev/hidraw2",   "/dev/hidraw0",
                                   "/dev/hidraw1",  "/dev/hidraw100", "/dev/hidraw11"};
    std::sort(nodes.begin(), nodes.end(), DevnodeLess);
    EXPECT_EQ(nodes, (std::vector<std::string>{"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2",
                                               "/dev/hidraw10", "/dev/hidraw11", "/dev/hidraw100"}));
}

struct PairCase {
    std::string left;
    std::string right;
    bool less;
};

class DevnodePairs : public testing::TestWithParam<PairCase> {};

TEST_P(DevnodePairs, ComparesAsExpected) {
    const PairCase& c = GetParam();
    EXPECT_EQ(DevnodeLess(c.left, c.right), c.less) << c.left << " < " << c.right;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, DevnodePairs,
    testing::Values(
        PairCase{"/dev/hidraw2", "/dev/hidraw10", true}, PairCase{"/dev/hidraw10", "/dev/hidraw2", false},
        PairCase{"/dev/hidraw3", "/dev/hidraw3", false}, PairCase{"/dev/hidraw", "/dev/hidraw0", true},
        PairCase{"/dev/hidraw0", "/dev/hidraw", false}, PairCase{"/dev/hidraw9", "/dev/hidrawa", true},
        PairCase{"/dev/a/hidraw10", "/dev/b/hidraw2", true},
        // Equal numbers that differ only in leading zeros still get a fixed order.
        PairCase{"/dev/hidraw01", "/dev/hidraw1", true}, PairCase{"/dev/hidraw1", "/dev/hidraw01", false},
        PairCase{"/dev/hidraw01x", "/dev/hidraw1y", true},
        PairCase{"/dev/hidraw99999999999999999999", "/dev/hidraw100000000000000000000", true}));

} // namespace
