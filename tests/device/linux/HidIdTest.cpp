#include "device/linux/HidId.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct HidIdCase {
    std::string text;
    std::optional<HidAttributes> expected;
};

class HidIdTable : public testing::TestWithParam<HidIdCase> {};

TEST_P(HidIdTable, ReadsVendorAndProduct) {
    const auto parsed = ParseHidId(GetParam().text);
    const auto& expected = GetParam().expected;
    ASSERT_EQ(parsed.has_value(), expected.has_value());
    if (expected) {
        EXPECT_EQ(parsed->vendorId, expected->vendorId);
        EXPECT_EQ(parsed->productId, expected->productId);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, HidIdTable,
                         testing::Values(HidIdCase{"0003:000004D8:0000003F", HidAttributes{0x04D8, 0x003F}},
                                         HidIdCase{"0003:000004d8:00000040", HidAttributes{0x04D8, 0x0040}},
                                         HidIdCase{"0005:0000046D:0000B01A", HidAttributes{0x046D, 0xB01A}},
                                         HidIdCase{"0003:0000FFFF:00000000", HidAttributes{0xFFFF, 0x0000}},
                                         HidIdCase{"", std::nullopt},
                                         HidIdCase{"0003:000004D8", std::nullopt},
                                         HidIdCase{"0003::0000003F", std::nullopt},
                                         HidIdCase{"0003:000004D8:", std::nullopt},
                                         HidIdCase{"0003:0x04D8:0000003F", std::nullopt},
                                         HidIdCase{"0003:000004D8:0000003F\n", std::nullopt},
                                         HidIdCase{"0003:000004D8:0000003F:0001", std::nullopt},
                                         // An ID beyond 16 bits cannot be a USB ID.
                                         HidIdCase{"0003:000104D8:0000003F", std::nullopt},
                                         HidIdCase{"0003:000004D8:-000003F", std::nullopt}));

} // namespace
