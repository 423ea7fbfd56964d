#include "protocol/CCDataProcessing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

void PutBytes(CCDataProcessing& block, int offset, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), block.m_data.begin() + offset);
}

struct Field {
    const char* name;
    int offset;
    std::function<double(const CCDataProcessing&)> read; // divisor 1 where the getter takes one
};

const Field kFields[] = {
    {"InputVoltage", 3, [](const CCDataProcessing& d) { return d.GetInputVoltage(); }},
    {"InputCurrent", 7, [](const CCDataProcessing& d) { return d.GetInputCurrent(1); }},
    {"InputPower", 11, [](const CCDataProcessing& d) { return d.GetInputPower(); }},
    {"FanSpeed", 15, [](const CCDataProcessing& d) { return d.GetFanSpeed(); }},
    {"Rail5V", 20, [](const CCDataProcessing& d) { return d.GetRail5V(1); }},
    {"Rail12V", 24, [](const CCDataProcessing& d) { return d.GetRail12V(1); }},
    {"Rail5Vsb", 28, [](const CCDataProcessing& d) { return d.GetRail5Vsb(1); }},
    {"Rail3V3", 32, [](const CCDataProcessing& d) { return d.GetRail3V3(1); }},
    {"RailMinus12V", 36, [](const CCDataProcessing& d) { return d.GetRailMinus12V(1); }},
    {"Temperature", 40, [](const CCDataProcessing& d) { return d.GetTemperature(); }},
    {"Energy", 44, [](const CCDataProcessing& d) { return d.GetEnergy(1); }},
};

TEST(CCDataProcessing, EachFieldDecodesLittleEndianAtItsOffsetAndOnlyThere) {
    for (const Field& field : kFields) {
        CCDataProcessing block;
        PutBytes(block, field.offset, {0x01, 0x02, 0x03, 0x04});
        EXPECT_EQ(field.read(block), 0x04030201) << field.name;
        for (const Field& other : kFields) {
            if (&other != &field) {
                EXPECT_EQ(other.read(block), 0) << other.name << " read bytes of " << field.name;
            }
        }
    }
}

TEST(CCDataProcessing, AllOnesIsMinusOneNotFourBillion) {
    for (const Field& field : kFields) {
        CCDataProcessing block;
        PutBytes(block, field.offset, {0xFF, 0xFF, 0xFF, 0xFF});
        EXPECT_EQ(field.read(block), -1) << field.name;
    }
}

TEST(CCDataProcessing, ZeroBlockGivesZeroWhateverTheDivisor) {
    CCDataProcessing block;
    EXPECT_EQ(block.GetEnergy(6000), 0);
    EXPECT_EQ(block.GetRailMinus12V(43.26), 0);
    EXPECT_EQ(block.GetInputCurrent(1024), 0);
    EXPECT_EQ(block.GetFanSpeed(), 0);
}

TEST(CCDataProcessing, KnownValues) {
    CCDataProcessing block;
    PutBytes(block, 3, {0xE6, 0x00, 0x00, 0x00});
    PutBytes(block, 15, {0xD0, 0x07, 0x00, 0x00});
    PutBytes(block, 44, {0x00, 0x00, 0x01, 0x00});
    EXPECT_EQ(block.GetInputVoltage(), 230.0);
    EXPECT_EQ(block.GetFanSpeed(), 2000);
    EXPECT_DOUBLE_EQ(block.GetEnergy(6000), 65536.0 / 6000.0);
    PutBytes(block, 36, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_DOUBLE_EQ(block.GetRailMinus12V(43.26), -1 / 43.26);
}

TEST(CCDataProcessing, SkippedBytesAndLengthChangeNothing) {
    CCDataProcessing reference;
    for (int i = 0; i < CCDataProcessing::kBlockSize; ++i) {
        reference.m_data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    CCDataProcessing changed = reference;
    for (int skipped : {0, 1, 2, 19}) {
        changed.m_data[skipped] ^= 0xFF;
    }
    changed.m_dataLength = 3;
    for (const Field& field : kFields) {
        EXPECT_EQ(field.read(changed), field.read(reference)) << field.name;
    }
}

} // namespace
